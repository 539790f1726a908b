#include "datum.h"

#include <QTest>

// Runs under TZ=Europe/Prague (set by the test registration).
class TestDatum : public QObject {
    Q_OBJECT
private slots:
    void storedFormIsUtcWithMilliseconds_data();
    void storedFormIsUtcWithMilliseconds();
    void storedFormAcrossCalendar_data();
    void storedFormAcrossCalendar();
    void regionalText_data();
    void regionalText();
    void storedTextOrdersChronologicallyAcrossDstChange();
};

void TestDatum::storedFormIsUtcWithMilliseconds_data() {
    QTest::addColumn<QDateTime>("modified");
    QTest::addColumn<QString>("stored");

    QTest::newRow("winter") << QDateTime(QDate(2024, 3, 7), QTime(9, 5, 9, 123))
                            << "2024-03-07T08:05:09.123Z";
    QTest::newRow("summer") << QDateTime(QDate(2024, 7, 1), QTime(0, 0))
                            << "2024-06-30T22:00:00.000Z";
    QTest::newRow("invalid") << QDateTime() << "";
}

void TestDatum::storedFormIsUtcWithMilliseconds() {
    QFETCH(QDateTime, modified);
    QFETCH(QString, stored);
    QCOMPARE(storedDatum(modified), stored);
    if (!stored.isEmpty())
        QCOMPARE(datumTime(stored), modified);
}

void TestDatum::storedFormAcrossCalendar_data() {
    QTest::addColumn<qint64>("msecs");
    QTest::addColumn<QString>("stored");

    QTest::newRow("calendar/epoch") << qint64(0) << "1970-01-01T00:00:00.000Z";
    QTest::newRow("calendar/before epoch") << qint64(-1) << "1969-12-31T23:59:59.999Z";
    QTest::newRow("calendar/leap day") << qint64(951782400123) << "2000-02-29T00:00:00.123Z";
    QTest::newRow("calendar/century not leap")
        << qint64(4107542400000) << "2100-03-01T00:00:00.000Z";
    QTest::newRow("calendar/year 1") << qint64(-62135596800000) << "0001-01-01T00:00:00.000Z";
    QTest::newRow("calendar/year 9999 end")
        << qint64(253402300799999) << "9999-12-31T23:59:59.999Z";
}

void TestDatum::storedFormAcrossCalendar() {
    QFETCH(qint64, msecs);
    QFETCH(QString, stored);
    const QDateTime modified = QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
    QCOMPARE(storedDatum(modified), stored);
    QCOMPARE(storedDatum(modified.toLocalTime()), stored);
}

void TestDatum::regionalText_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("text");

    QTest::newRow("cs/afternoon") << "cs_CZ"
                                  << "2024-03-07T14:05:09.123Z"
                                  << "07.03.24 15:05:09";
    QTest::newRow("cs/midnight local is date alone") << "cs_CZ"
                                                     << "2024-03-06T23:00:00.000Z"
                                                     << "07.03.24";
    QTest::newRow("cs/midnight UTC is not local midnight") << "cs_CZ"
                                                           << "2024-03-07T00:00:00.000Z"
                                                           << "07.03.24 1:00:00";
    QTest::newRow("cs/one millisecond past midnight") << "cs_CZ"
                                                      << "2024-03-06T23:00:00.001Z"
                                                      << "07.03.24 0:00:00";
    QTest::newRow("en/afternoon") << "en_US"
                                  << "2024-03-07T14:05:09.000Z"
                                  << "3/7/24 3:05:09 PM";
    QTest::newRow("en/summer time") << "en_US"
                                    << "2024-07-01T08:00:00.000Z"
                                    << "7/1/24 10:00:00 AM";
    QTest::newRow("unknown") << "cs_CZ"
                             << ""
                             << "";
    QTest::newRow("foreign text shown as is") << "cs_CZ"
                                              << "7.3.2024 15:05"
                                              << "7.3.2024 15:05";
}

void TestDatum::regionalText() {
    QFETCH(QString, locale);
    QFETCH(QString, stored);
    QFETCH(QString, text);
    QCOMPARE(datumText(stored, QLocale(locale)), text);
}

void TestDatum::storedTextOrdersChronologicallyAcrossDstChange() {
    // 02:30 summer time comes before 02:10 winter time on the night the clocks go back.
    const QDateTime earlier = QDateTime(QDate(2024, 10, 27), QTime(0, 30), Qt::UTC);
    const QDateTime later = QDateTime(QDate(2024, 10, 27), QTime(1, 10), Qt::UTC);
    QVERIFY(earlier.toLocalTime().time() > later.toLocalTime().time());
    QVERIFY(storedDatum(earlier) < storedDatum(later));
}

QTEST_GUILESS_MAIN(TestDatum)
#include "tst_datum.moc"
