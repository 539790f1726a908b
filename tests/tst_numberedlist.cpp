#include "numberedlist.h"

#include <QTest>

class TestNumberedList : public QObject {
    Q_OBJECT
private slots:
    void numberedName_data();
    void numberedName();
    void listEndsEveryLineWithLoneCarriageReturn();
    void emptyCatalogueGivesEmptyList();
};

void TestNumberedList::numberedName_data() {
    QTest::addColumn<int>("sequence");
    QTest::addColumn<QString>("filename");
    QTest::addColumn<QString>("expected");

    QTest::newRow("padding/1") << 1 << "a.txt"
                               << "001 - a.txt";
    QTest::newRow("padding/9") << 9 << "a.txt"
                               << "009 - a.txt";
    QTest::newRow("padding/10") << 10 << "a.txt"
                                << "010 - a.txt";
    QTest::newRow("padding/99") << 99 << "a.txt"
                                << "099 - a.txt";
    QTest::newRow("padding/100") << 100 << "a.txt"
                                 << "100 - a.txt";
    QTest::newRow("padding/999") << 999 << "a.txt"
                                 << "999 - a.txt";
    QTest::newRow("padding/1000 not cut") << 1000 << "a.txt"
                                          << "1000 - a.txt";
    QTest::newRow("padding/123456") << 123456 << "a.txt"
                                    << "123456 - a.txt";
    QTest::newRow("name/leading digits") << 2 << "007.jpg"
                                         << "002 - 007.jpg";
    QTest::newRow("name/holds separator") << 3 << "001 - x.jpg"
                                          << "003 - 001 - x.jpg";
    QTest::newRow("name/Czech letters") << 4 << "Žluťoučký kůň.jpg"
                                        << "004 - Žluťoučký kůň.jpg";
    QTest::newRow("name/empty") << 5 << ""
                                << "005 - ";
}

void TestNumberedList::numberedName() {
    QFETCH(int, sequence);
    QFETCH(QString, filename);
    QFETCH(QString, expected);
    QCOMPARE(::numberedName(sequence, filename, QStringLiteral(" - ")), expected);
}

void TestNumberedList::listEndsEveryLineWithLoneCarriageReturn() {
    const std::vector<CatalogueRow> rows{{"b.jpg", "x"}, {"a.jpg", "y"}, {"c d.png", ""}};
    QCOMPARE(numberedList(rows, QStringLiteral(" - ")),
             QStringLiteral("001 - b.jpg\r002 - a.jpg\r003 - c d.png\r"));
    // A line break inside a stored name must not split its line.
    const std::vector<CatalogueRow> broken{{"a\rb\nc\td.jpg", ""}, {"e.jpg", ""}};
    QCOMPARE(numberedList(broken, QStringLiteral(" - ")),
             QStringLiteral("001 - a?b?c?d.jpg\r002 - e.jpg\r"));
}

void TestNumberedList::emptyCatalogueGivesEmptyList() {
    QVERIFY(numberedList({}, QStringLiteral(" - ")).isEmpty());
}

QTEST_GUILESS_MAIN(TestNumberedList)
#include "tst_numberedlist.moc"
