#include "datum.h"

#include <QTest>

// Runs under TZ=Europe/Prague (set by the test registration).
class TestDatum : public QObject {
    Q_OBJECT
private slots:
    void storedForm_data() {
        QTest::addColumn<QDateTime>("modified");
        QTest::addColumn<QString>("stored");
        QTest::newRow("winter") << QDateTime(QDate(2024, 3, 7), QTime(9, 5, 9, 123))
                                << "2024-03-07T08:05:09.123Z";
        QTest::newRow("summer") << QDateTime(QDate(2024, 7, 1), QTime(0, 0))
                                << "2024-06-30T22:00:00.000Z";
        QTest::newRow("before epoch")
            << QDateTime::fromMSecsSinceEpoch(-1, Qt::UTC) << "1969-12-31T23:59:59.999Z";
        QTest::newRow("invalid") << QDateTime() << "";
    }
    void storedForm() {
        QFETCH(QDateTime, modified);
        QFETCH(QString, stored);
        QCOMPARE(storedDatum(modified), stored);
        if (!stored.isEmpty())
            QCOMPARE(datumTime(stored), modified);
    }

    void regionalText_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* name, const char* locale, const char* stored,
                            const char* text) {
            QTest::newRow(name) << QString(locale) << QString(stored) << QString(text);
        };
        row("cs/afternoon", "cs_CZ", "2024-03-07T14:05:09.123Z", "07.03.2024 15:05:09");
        row("cs/local midnight", "cs_CZ", "2024-03-06T23:00:00.000Z", "07.03.2024");
        row("cs/UTC midnight", "cs_CZ", "2024-03-07T00:00:00.000Z", "07.03.2024 1:00:00");
        row("en/afternoon", "en_US", "2024-03-07T14:05:09.000Z", "3/7/2024 3:05:09 PM");
        row("en/local midnight", "en_US", "2024-06-30T22:00:00.000Z", "7/1/2024");
        row("foreign text", "cs_CZ", "7.3.2024 15:05", "7.3.2024 15:05");
    }
    void regionalText() {
        QFETCH(QString, locale);
        QFETCH(QString, stored);
        QFETCH(QString, text);
        QCOMPARE(datumText(stored, QLocale(locale)), text);
    }

    void storedTextOrdersChronologicallyAcrossDstChange() {
        // 02:30 summer time comes before 02:10 winter time on the night the clocks go back.
        const QDateTime earlier(QDate(2024, 10, 27), QTime(0, 30), Qt::UTC);
        const QDateTime later(QDate(2024, 10, 27), QTime(1, 10), Qt::UTC);
        QVERIFY(earlier.toLocalTime().time() > later.toLocalTime().time());
        QVERIFY(storedDatum(earlier) < storedDatum(later));
    }
};

QTEST_GUILESS_MAIN(TestDatum)
#include "tst_datum.moc"
