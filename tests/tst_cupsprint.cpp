#include "defaultprinter.h"
#include "fixture.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTest>
#include <cups/cups.h>
#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>

static const QString user = QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
static const Listing listing{"/f/", {250, {"001 - IMG.jpg", "01.01.2024 11:00:00"}}};
static bool cutOff = false; // a document's data never reaches the scheduler

// Stands in for libcups's own, which it calls unless cut off.
http_status_t cupsWriteRequestData(http_t* http, const char* buffer, size_t length) {
    static const auto write =
        reinterpret_cast<decltype(&cupsWriteRequestData)>(dlsym(RTLD_NEXT, "cupsWriteRequestData"));
    return cutOff ? HTTP_STATUS_ERROR : write(http, buffer, length);
}

// The ids of this user's jobs waiting in the queue, which the owner cancels by id.
static QStringList jobs(const QString& queue) {
    QStringList ids = commandOutput("lpstat", {"-o", queue}).split(u'\n').filter(' ' + user + ' ');
    for (QString& id : ids)
        id = id.section(u' ', 0, 0);
    return ids;
}

// Prints through the queues scripts/setup-cups makes; cups-pdf writes this user's jobs to
// /var/spool/cups-pdf/<user>. LPDEST points the default destination at the others.
class TestCupsPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (!QPrinterInfo::defaultPrinter().isNull() &&
            QPrinterInfo::availablePrinterNames().contains("TemloStopped"))
            return;
        const char* missing = "no CUPS queues PDF, TemloRejecting, TemloStopped";
        if (qEnvironmentVariable("TEMLO_REQUIRE_CUPS") == QLatin1String("1"))
            QFAIL(missing);
        QSKIP(missing);
    }

    void printsTheLaidOutPages() {
        const QDir out("/var/spool/cups-pdf/" + user);
        const QStringList before = out.entryList({"*.pdf"});
        const Result<PrintedJob> job = printOnDefaultPrinter(listing);
        QCOMPARE(failureOf(job), QStringList());
        QVERIFY(!job.value().waiting);
        QString pdf; // the newest there: this job's, once complete
        int pages = 0;
        QTRY_VERIFY_WITH_TIMEOUT(
            !before.contains(pdf = out.entryList({"*.pdf"}, QDir::Files, QDir::Time).value(0)) &&
                (pages = pdfPageCount(out.filePath(pdf))) > 0,
            60000);
        QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        QCOMPARE(size_t(pages), listingPages(listing, printedMetrics(printer)).size());
        QFile::remove(out.filePath(pdf));
    }

    // Only a stopped queue takes the job, and keeps it waiting; a job cut off is cancelled.
    void refusedOrWaiting_data() {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<QStringList>("failure");
        QTest::newRow("rejecting")
            << "TemloRejecting" << false << failure(Fault::NotAccepting, "TemloRejecting");
        QTest::newRow("missing") << "TemloMissing" << false << failure(Fault::NoPrinter, {});
        QTest::newRow("stopped") << "TemloStopped" << false << QStringList();
        QTest::newRow("cut off") << "TemloStopped" << true
                                 << failure(Fault::Refused, "TemloStopped");
    }
    void refusedOrWaiting() {
        QFETCH(QString, queue);
        QFETCH(bool, cut);
        QFETCH(QStringList, failure);
        const qsizetype before = jobs(queue).size();
        qputenv("LPDEST", queue.toUtf8());
        cutOff = cut;
        const Result<PrintedJob> job = printOnDefaultPrinter(listing);
        cutOff = false;
        qunsetenv("LPDEST");
        const QStringList left = jobs(queue);
        if (!left.isEmpty())
            commandOutput("cancel", left);
        QCOMPARE(failureOf(job), failure);
        QCOMPARE(left.size() - before, failure.isEmpty() ? 1 : 0);
        QCOMPARE(job.ok() && job.value().waiting, failure.isEmpty());
    }
};

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
