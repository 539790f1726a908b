#include "listbox.h"

#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

namespace {

QStringList numberedLines(int count) {
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("line %1").arg(i);
    return lines;
}

// The way the actions hand their lists to the box: each line ends in a carriage return.
QString listText(const QStringList& lines) {
    return lines.join(u'\r') + u'\r';
}

// Moves the cursor as a person would: to the top, then down to the given line.
void goToLine(QPlainTextEdit& edit, int line) {
    QTest::keyClick(&edit, Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < line; ++i)
        QTest::keyClick(&edit, Qt::Key_Down);
}

QString topLine(const QPlainTextEdit& edit) {
    QTextCursor cursor = edit.cursorForPosition(QPoint(2, 2));
    cursor.select(QTextCursor::LineUnderCursor);
    return cursor.selectedText();
}

} // namespace

enum class Selection { Keys, TripleClick, All };
enum class Move { None, CtrlEnd, CtrlEndThenHome, PageDown, Wheel, ThumbHalfWay, Narrower };
enum class Query { At, Before, After, TwoLines, Value };
Q_DECLARE_METATYPE(Selection)
Q_DECLARE_METATYPE(Move)
Q_DECLARE_METATYPE(Query)

// The list box beside a box of one paragraph per line, the shape it replaces, both of the
// size and settings the window gives the list box.
class TestListBox : public QObject {
    Q_OBJECT
    QWidget m_window;
    ListBox* m_box = nullptr;
    QPlainTextEdit* m_perLine = nullptr;

    void fill(const QStringList& lines) {
        for (QPlainTextEdit* edit : {static_cast<QPlainTextEdit*>(m_box), m_perLine})
            edit->resize(801, 245);
        m_box->setListText(listText(lines));
        m_perLine->setPlainText(lines.join(u'\n'));
        m_box->setFocus();
        QCoreApplication::processEvents(); // scroll bars show or hide once the range is set
    }

private slots:
    void initTestCase() {
        m_box = new ListBox(&m_window);
        m_perLine = new QPlainTextEdit(&m_window);
        m_perLine->setFont(m_box->font());
        m_perLine->setWordWrapMode(m_box->wordWrapMode());
        m_perLine->move(0, 300);
        m_window.resize(801, 545);
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
    }

    void copy_data() {
        QTest::addColumn<Selection>("selection");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("count");
        QTest::newRow("lines of one group") << Selection::Keys << 2 << 3;
        QTest::newRow("across a group's end") << Selection::Keys << 61 << 6;
        QTest::newRow("across two groups' ends") << Selection::Keys << 60 << 70;
        QTest::newRow("triple click in a group") << Selection::TripleClick << 10 << 1;
        QTest::newRow("triple click, a group's last") << Selection::TripleClick << 63 << 1;
        QTest::newRow("all") << Selection::All << 0 << 200;
    }

    // What reaches the clipboard has its lines separated by newlines, never line separators.
    void copy() {
        QFETCH(Selection, selection);
        QFETCH(int, from);
        QFETCH(int, count);
        const QStringList lines = numberedLines(200);
        fill(lines);
        goToLine(*m_box, from);
        if (selection == Selection::Keys) {
            for (int i = 0; i < count; ++i)
                QTest::keyClick(m_box, Qt::Key_Down, Qt::ShiftModifier);
        } else if (selection == Selection::TripleClick) {
            goToLine(*m_perLine, from);
            for (QPlainTextEdit* edit : {m_perLine, static_cast<QPlainTextEdit*>(m_box)}) {
                const QPoint point = edit->cursorRect().center() + QPoint(10, 0);
                QTest::mouseDClick(edit->viewport(), Qt::LeftButton, {}, point);
                QTest::mouseClick(edit->viewport(), Qt::LeftButton, {}, point);
            }
            QCOMPARE(m_box->verticalScrollBar()->value(), m_perLine->verticalScrollBar()->value());
        } else {
            QTest::keyClick(m_box, Qt::Key_A, Qt::ControlModifier);
        }
        QTest::keyClick(m_box, Qt::Key_C, Qt::ControlModifier);
        QStringList expected = lines.mid(from, count);
        if (from + count < lines.size())
            expected << QString(); // the last line's end is copied too
        QCOMPARE(QApplication::clipboard()->text().split(u'\n'), expected);
    }

    void edit_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<bool>("atLineEnd");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("changed");
        QTest::addColumn<QString>("changedText");
        QTest::addColumn<int>("lineCount");
        QTest::newRow("typing in a group")
            << 10 << false << "new " << 0 << 10 << "new line 10" << 200;
        QTest::newRow("typing at a group's end")
            << 63 << true << " end" << 0 << 63 << "line 63 end" << 200;
        QTest::newRow("Backspace joins lines of a group")
            << 10 << false << "" << int(Qt::Key_Backspace) << 9 << "line 9line 10" << 199;
        QTest::newRow("Backspace joins two groups")
            << 64 << false << "" << int(Qt::Key_Backspace) << 63 << "line 63line 64" << 199;
        QTest::newRow("Delete joins lines of a group")
            << 20 << true << "" << int(Qt::Key_Delete) << 20 << "line 20line 21" << 199;
        QTest::newRow("Delete in a line")
            << 30 << false << "" << int(Qt::Key_Delete) << 30 << "ine 30" << 200;
    }

    void edit() {
        QFETCH(int, line);
        QFETCH(bool, atLineEnd);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(int, changed);
        QFETCH(QString, changedText);
        QFETCH(int, lineCount);
        QStringList expected = numberedLines(200);
        fill(expected);
        goToLine(*m_box, line);
        if (atLineEnd)
            QTest::keyClick(m_box, Qt::Key_End);
        QTest::keyClicks(m_box, typed);
        if (key)
            QTest::keyClick(m_box, Qt::Key(key));
        expected[changed] = changedText;
        if (lineCount < expected.size())
            expected.removeAt(changed + 1);
        QCOMPARE(m_box->toPlainText().split(u'\n'), expected);
    }

    void scrolling_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<Move>("move");
        QTest::newRow("filled") << 10000 << Move::None;
        QTest::newRow("Ctrl+End") << 10000 << Move::CtrlEnd;
        QTest::newRow("Ctrl+End, Ctrl+Home") << 10000 << Move::CtrlEndThenHome;
        QTest::newRow("PageDown") << 10000 << Move::PageDown;
        QTest::newRow("wheel") << 10000 << Move::Wheel;
        QTest::newRow("thumb half-way") << 10000 << Move::ThumbHalfWay;
        QTest::newRow("half-way, then narrower") << 10000 << Move::Narrower;
        QTest::newRow("one group and a line, Ctrl+End") << 65 << Move::CtrlEnd;
        QTest::newRow("a screenful, Ctrl+End") << 12 << Move::CtrlEnd;
    }

    // The scroll bar and the view move as with a paragraph per line, over the whole list from
    // the start, and the bar's range stays put as the view reaches parts not yet shown.
    void scrolling() {
        QFETCH(int, lines);
        QFETCH(Move, move);
        const QStringList list = numberedLines(lines);
        fill(list);
        QScrollBar* bar = m_box->verticalScrollBar();
        const int maximumAfterFill = bar->maximum();
        for (QPlainTextEdit* edit : {static_cast<QPlainTextEdit*>(m_box), m_perLine}) {
            if (move == Move::CtrlEnd || move == Move::CtrlEndThenHome)
                QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
            if (move == Move::CtrlEndThenHome)
                QTest::keyClick(edit, Qt::Key_Home, Qt::ControlModifier);
            if (move == Move::PageDown)
                QTest::keyClick(edit, Qt::Key_PageDown);
            if (move == Move::ThumbHalfWay || move == Move::Narrower)
                edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum() / 2);
            if (move == Move::Narrower)
                edit->resize(700, 245);
            if (move == Move::Wheel) {
                const QPointF at(50, 50);
                QWheelEvent wheel(at, edit->viewport()->mapToGlobal(at), {}, {0, -120},
                                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(edit->viewport(), &wheel);
            }
        }
        QCoreApplication::processEvents();
        QScrollBar* reference = m_perLine->verticalScrollBar();
        QCOMPARE(bar->isVisible(), reference->isVisible());
        QCOMPARE(bar->maximum(), reference->maximum());
        QCOMPARE(bar->maximum(), maximumAfterFill);
        QCOMPARE(bar->pageStep(), reference->pageStep());
        QCOMPARE(bar->value(), reference->value());
        QCOMPARE(topLine(*m_box), topLine(*m_perLine));
        if (move == Move::CtrlEnd) {
            QCOMPARE(m_box->textCursor().block().text().split(QChar::LineSeparator).last(),
                     list.last());
            QVERIFY(m_box->viewport()->rect().contains(m_box->cursorRect()));
        }
    }

    void accessibleText_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QAccessible::TextBoundaryType>("boundary");
        QTest::addColumn<Query>("query");
        QTest::addColumn<QString>("expected");
        const auto lineBoundary = QAccessible::LineBoundary;
        const auto paragraph = QAccessible::ParagraphBoundary;
        QTest::newRow("line in a group") << 10 << lineBoundary << Query::At << "line 10";
        QTest::newRow("paragraph in a group") << 10 << paragraph << Query::At << "line 10";
        QTest::newRow("paragraph, a group's last") << 63 << paragraph << Query::At << "line 63";
        QTest::newRow("paragraph, a group's first") << 64 << paragraph << Query::At << "line 64";
        QTest::newRow("line before") << 10 << lineBoundary << Query::Before << "line 9";
        QTest::newRow("paragraph before") << 10 << paragraph << Query::Before << "line 9";
        QTest::newRow("paragraph before a group") << 64 << paragraph << Query::Before << "line 63";
        QTest::newRow("line after") << 10 << lineBoundary << Query::After << "line 11";
        QTest::newRow("line after a group") << 63 << lineBoundary << Query::After << "line 64";
        QTest::newRow("paragraph after a group") << 63 << paragraph << Query::After << "line 64";
        QTest::newRow("nothing after the last line") << 199 << paragraph << Query::After << "";
        QTest::newRow("two lines of a group")
            << 10 << paragraph << Query::TwoLines << "line 10\nline 11";
        QTest::newRow("two lines across groups")
            << 63 << paragraph << Query::TwoLines << "line 63\nline 64";
        QTest::newRow("value") << 0 << paragraph << Query::Value << numberedLines(200).join('\n');
    }

    // A screen reader reads the list line by line; a paragraph is a line of the list.
    void accessibleText() {
        QFETCH(int, line);
        QFETCH(QAccessible::TextBoundaryType, boundary);
        QFETCH(Query, query);
        QFETCH(QString, expected);
        fill(numberedLines(200));
        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(m_box);
        QVERIFY(box && box->textInterface());
        QAccessibleTextInterface* text = box->textInterface();
        const int offset = int(numberedLines(line).join('\n').size()) + (line ? 1 : 0) + 2;
        int start = -1;
        int end = -1;
        QString found;
        if (query == Query::At)
            found = text->textAtOffset(offset, boundary, &start, &end);
        else if (query == Query::Before)
            found = text->textBeforeOffset(offset, boundary, &start, &end);
        else if (query == Query::After)
            found = text->textAfterOffset(offset, boundary, &start, &end);
        else if (query == Query::TwoLines)
            found = text->text(offset - 2, offset - 2 + int(expected.size()));
        else
            found = box->text(QAccessible::Value);
        QCOMPARE(found.split(u'\n'), expected.split(u'\n'));
        if (start >= 0)
            QCOMPARE(text->text(start, end), expected);
    }
};

QTEST_MAIN(TestListBox)
#include "tst_listbox.moc"
