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

    // Lines as the actions give them, the cursor moved down to one with the keys.
    QStringList fill(int count, int line = 0) {
        QStringList lines;
        for (int i = 0; i < count; ++i)
            lines << QString("line %1").arg(i);
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
        QTest::newRow("in a group") << 2 << 3;
        QTest::newRow("across a group's end") << 61 << 6;
    }
    void copy() {
        QFETCH(int, from);
        QFETCH(int, count);
        const auto lines = fill(200, from);
        for (int i = 0; i < count; ++i)
            QTest::keyClick(&m_box, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&m_box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text().split(u'\n'), lines.mid(from, count) << "");
    }

    void edit_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("lines"); // from the line above, after the key
        QTest::newRow("typing") << 10 << int(Qt::Key_X) << QStringList{"line 9", "xline 10"};
        QTest::newRow("Backspace at a group's start")
            << 64 << int(Qt::Key_Backspace) << QStringList{"line 63line 64", "line 65"};
    }
    void edit() {
        QFETCH(int, line);
        QFETCH(int, key);
        QFETCH(QStringList, lines);
        fill(200, line);
        QTest::keyClick(&m_box, Qt::Key(key));
        QCOMPARE(m_box.toPlainText().split(u'\n').mid(line - 1, 2), lines);
    }

    // A step per line of the whole list; Ctrl+End shows its end.
    void scrolling() {
        fill(10000);
        const QScrollBar* bar = m_box.verticalScrollBar();
        QCOMPARE(bar->maximum() + bar->pageStep(), 10000);
        QTest::keyClick(&m_box, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(bar->maximum() + bar->pageStep(), 10000);
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(m_box.viewport()->rect().contains(m_box.cursorRect()));
    }

    void accessibleText_data() {
        QTest::addColumn<QString>("line");
        QTest::newRow("a group's last") << "line 63";
        QTest::newRow("a group's first") << "line 64";
    }
    // A screen reader's paragraph is a list line, the breaks newlines.
    void accessibleText() {
        QFETCH(QString, line);
        fill(200);
        auto* text = QAccessible::queryAccessibleInterface(&m_box)->textInterface();
        const int at = m_box.document()->find(line).selectionStart() + 2;
        int start = -1, end = -1;
        QCOMPARE(text->textAtOffset(at, QAccessible::ParagraphBoundary, &start, &end), line);
        QCOMPARE(text->text(start - 1, end).split(u'\n'), QStringList({"", line}));
    }
};

QTEST_MAIN(TestListBox)
#include "tst_listbox.moc"
