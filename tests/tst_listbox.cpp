#include "listbox.h"

#include <QAccessibleTextInterface>
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>

namespace {

QStringList numberedLines(int count) {
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("line %1").arg(i);
    return lines;
}

} // namespace

// The list box, which keeps its lines in groups of 64.
class TestListBox : public QObject {
    Q_OBJECT
    ListBox m_box;

    // Fills the box and moves down to a line as a person does.
    QStringList fill(int count, int line = 0) {
        const QStringList lines = numberedLines(count);
        m_box.setListText(lines.join(u'\r') + u'\r'); // as the actions hand their lists over
        QCoreApplication::processEvents();            // shows the scroll bar
        for (int i = 0; i < line; ++i)
            QTest::keyClick(&m_box, Qt::Key_Down);
        return lines;
    }

private slots:
    void initTestCase() {
        m_box.resize(801, 245);
        m_box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_box));
    }

    void copy_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("tripleClick"); // selects the line, else Shift+Down selects
        QTest::newRow("in a group") << 2 << 3 << false;
        QTest::newRow("across a group's end") << 61 << 6 << false;
        QTest::newRow("triple click, a group's last") << 63 << 1 << true;
    }
    // Lines copied are separated by newlines, never by the line separators of a group.
    void copy() {
        QFETCH(int, from);
        QFETCH(int, count);
        QFETCH(bool, tripleClick);
        const QStringList lines = fill(200, from);
        const QPoint at = m_box.cursorRect().center() + QPoint(10, 0);
        if (tripleClick) {
            QTest::mouseDClick(m_box.viewport(), Qt::LeftButton, {}, at);
            QTest::mouseClick(m_box.viewport(), Qt::LeftButton, {}, at);
        }
        for (int i = 0; i < count && !tripleClick; ++i)
            QTest::keyClick(&m_box, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&m_box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text().split(u'\n'), lines.mid(from, count) << "");
    }

    void edit_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("lines"); // the two before and the line, afterwards
        QTest::newRow("typing") << 10 << int(Qt::Key_X)
                                << QStringList{"line 8", "line 9", "xline 10"};
        QTest::newRow("Backspace")
            << 10 << int(Qt::Key_Backspace) << QStringList{"line 8", "line 9line 10", "line 11"};
        QTest::newRow("Backspace at a group's start")
            << 64 << int(Qt::Key_Backspace) << QStringList{"line 62", "line 63line 64", "line 65"};
    }
    void edit() {
        QFETCH(int, line);
        QFETCH(int, key);
        QFETCH(QStringList, lines);
        fill(200, line);
        QTest::keyClick(&m_box, Qt::Key(key));
        QCOMPARE(m_box.toPlainText().split(u'\n').mid(line - 2, 3), lines);
    }

    void scrolling_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("toEnd"); // with Ctrl+End
        QTest::newRow("filled") << 10000 << false;
        QTest::newRow("Ctrl+End") << 10000 << true;
    }
    // The scroll bar spans the whole list at once, a step per line.
    void scrolling() {
        QFETCH(int, count);
        QFETCH(bool, toEnd);
        fill(count);
        const QScrollBar* bar = m_box.verticalScrollBar();
        QCOMPARE(bar->maximum() + bar->pageStep(), count);
        if (toEnd)
            QTest::keyClick(&m_box, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(bar->value(), toEnd ? bar->maximum() : 0);
        QCOMPARE(bar->maximum() + bar->pageStep(), count);
        QVERIFY(m_box.viewport()->rect().contains(m_box.cursorRect()));
    }

    void accessibleText_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("expected"); // the paragraph two characters into the line
        QTest::newRow("in a group") << 10 << "line 10";
        QTest::newRow("a group's last") << 63 << "line 63";
        QTest::newRow("a group's first") << 64 << "line 64";
    }
    // A screen reader reads the list by paragraphs, each a line of the list.
    void accessibleText() {
        QFETCH(int, line);
        QFETCH(QString, expected);
        fill(200);
        QAccessibleTextInterface* text =
            QAccessible::queryAccessibleInterface(&m_box)->textInterface();
        const int lineStart = int(numberedLines(line).join(u'\n').size()) + 1;
        int start = -1;
        int end = -1;
        const auto paragraph = QAccessible::ParagraphBoundary;
        QCOMPARE(text->textAtOffset(lineStart + 2, paragraph, &start, &end), expected);
        QCOMPARE(text->text(start - 1, end).split(u'\n'), QStringList({"", expected}));
        QCOMPARE(text->textAfterOffset(start - 2, paragraph, &start, &end), expected);
        QCOMPARE(text->textBeforeOffset(end + 2, paragraph, &start, &end), expected);
    }
};

QTEST_MAIN(TestListBox)
#include "tst_listbox.moc"
