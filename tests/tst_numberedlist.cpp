#include "numberedlist.h"

#include <QTest>

class TestNumberedList : public QObject {
    Q_OBJECT
private slots:
    void numberedName_data() {
        QTest::addColumn<int>("sequence");
        QTest::addColumn<QString>("filename");
        QTest::addColumn<QString>("expected");
        const std::pair<int, const char*> padded[]{{1, "001"},    {9, "009"},   {10, "010"},
                                                   {99, "099"},   {100, "100"}, {999, "999"},
                                                   {1000, "1000"}};
        for (const auto& [n, number] : padded)
            QTest::addRow("padding/%d", n) << n << "a.txt" << QString(number) + " - a.txt";
        QTest::newRow("name/leading digits") << 2 << "007.jpg"
                                             << "002 - 007.jpg";
        QTest::newRow("name/holds separator") << 3 << "001 - x.jpg"
                                              << "003 - 001 - x.jpg";
    }
    void numberedName() {
        QFETCH(int, sequence);
        QFETCH(QString, filename);
        QFETCH(QString, expected);
        QCOMPARE(::numberedName(sequence, filename, QStringLiteral(" - ")), expected);
    }

    void listLinesEndWithLoneCarriageReturn() {
        const std::vector<CatalogueRow> rows{{"b.jpg", "x"}, {"a\rb\nc\td.jpg", ""}, {"e", ""}};
        QCOMPARE(numberedList(rows, QStringLiteral(" - ")),
                 QStringLiteral("001 - b.jpg\r002 - a?b?c?d.jpg\r003 - e\r"));
    }
};

QTEST_GUILESS_MAIN(TestNumberedList)
#include "tst_numberedlist.moc"
