#include "listtexts.h"
#include "wording.h"

#include <QTest>

class TestWording : public QObject {
    Q_OBJECT
private slots:
    // Each group counted in Czech, its first ten names listed, then the number of the rest.
    void renameReport_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("ends"); // the group's first and last lines
        QTest::newRow("4") << 4 << QStringList{"disk je plný: 4 soubory", "    f4"};
        QTest::newRow("10") << 10 << QStringList{"disk je plný: 10 souborů", "    f10"};
        QTest::newRow("11") << 11 << QStringList{"disk je plný: 11 souborů", "    … a dalších: 1"};
    }
    void renameReport() {
        QFETCH(int, count);
        std::vector<Failure> problems;
        for (int i = 1; i <= count; ++i)
            problems.push_back({Fault::DiskFull, QStringLiteral("f%1").arg(i), {}});
        const QStringList lines = ::renameReport(problems).split(u'\n');
        QTEST(QStringList({lines.value(2), lines.last()}), "ends");
    }

    // Each line ends in a lone carriage return; a control character in a name shows as "?".
    void scanListText() {
        const std::vector<CatalogueRow> rows{{"a", ""}, {"b\x7f\nc", ""}};
        QCOMPARE(::scanListText("/f/", rows), "/f/\ra\rb??c\r");
    }

    // In local time (TZ=Europe/Prague), with a four-digit year; the date alone at midnight.
    void datumText_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("shown");
        const QLocale cs("cs_CZ"), us("en_US");
        QTest::newRow("afternoon") << "2024-03-07T14:05:09.000Z" << us << "3/7/2024 3:05:09 PM";
        QTest::newRow("UTC midnight") << "2024-03-07T00:00:00.000Z" << cs << "07.03.2024 1:00:00";
        QTest::newRow("local midnight") << "2024-06-30T22:00:00.000Z" << us << "7/1/2024";
    }
    void datumText() {
        QFETCH(QString, stored);
        QFETCH(QLocale, locale);
        QTEST(DatumText(locale)(stored), "shown");
    }
};

QTEST_GUILESS_MAIN(TestWording)
#include "tst_wording.moc"
