#include "listbox.h"

#include <QAccessibleTextInterface>
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>

// The list box, which keeps its lines in groups of 64.
class TestListBox : public QObject {
    Q_OBJECT
    ListBox m_box;

    // Fills the box as the actions do, each line ending in a carriage return, and moves down
    // to a line as a person does.
    QStringList fill(int count, int line = 0) {
        QStringList lines;
        for (int i = 0; i < count; ++i)
            lines << QStringLiteral("line %1").arg(i);
        m_box.setListText(lines.join(u'\r') + u'\r');
        QCoreApplication::processEvents(); // shows the scroll bar
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

    // The scroll bar spans the whole list at once, a step per line; Ctrl+End shows its end.
    void scrolling() {
        fill(10000);
        const QScrollBar* bar = m_box.verticalScrollBar();
        QCOMPARE(bar->maximum() + bar->pageStep(), 10000);
        QCOMPARE(bar->value(), 0);
        QTest::keyClick(&m_box, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(bar->maximum() + bar->pageStep(), 10000);
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(m_box.viewport()->rect().contains(m_box.cursorRect()));
    }

    void accessibleText_data() {
        QTest::addColumn<QString>("line");
        QTest::newRow("in a group") << "line 10";
        QTest::newRow("a group's last") << "line 63";
        QTest::newRow("a group's first") << "line 64";
    }
    // A screen reader reads the list by paragraphs, each a line of the list, and the line breaks
    // between them as newlines.
    void accessibleText() {
        QFETCH(QString, line);
        fill(200);
        QAccessibleTextInterface* text =
            QAccessible::queryAccessibleInterface(&m_box)->textInterface();
        const int inLine = m_box.document()->find(line).selectionStart() + 2;
        const auto paragraph = QAccessible::ParagraphBoundary;
        int start = -1;
        int end = -1;
        QCOMPARE(text->textAtOffset(inLine, paragraph, &start, &end), line);
        QCOMPARE(text->text(start - 1, end).split(u'\n'), QStringList({"", line}));
        QCOMPARE(text->textAfterOffset(start - 2, paragraph, &start, &end), line);
        QCOMPARE(text->textBeforeOffset(end + 2, paragraph, &start, &end), line);
    }
};

QTEST_MAIN(TestListBox)
#include "tst_listbox.moc"
