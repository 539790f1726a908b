#include "defaultprinter.h"
#include "fixture.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTest>
#include <pwd.h>
#include <unistd.h>

static const QString user = QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
static const Listing listing{"/f/", {250, {"001 - IMG.jpg", "01.01.2024 11:00:00"}}};

// The ids of this user's jobs waiting in the queue. (Only an administrator may cancel all of
// a user's jobs at once; the owner cancels them by id.)
static QStringList jobs(const QString& queue) {
    QStringList ids = commandOutput("lpstat", {"-o", queue}).split(u'\n').filter(' ' + user + ' ');
    for (QString& id : ids)
        id = id.section(u' ', 0, 0);
    return ids;
}

// Prints through the CUPS queues scripts/setup-cups makes; cups-pdf writes this user's jobs
// to /var/spool/cups-pdf/<user>. LPDEST points the default destination at the others.
class TestCupsPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        qputenv("TMPDIR", m_tmp.path().toUtf8()); // where the temporary PDF files must not stay
        if (!QPrinterInfo::defaultPrinter().isNull() &&
            QPrinterInfo::availablePrinterNames().contains("TemloStopped"))
            return;
        const char* missing =
            "no CUPS queues PDF, TemloRejecting, TemloStopped (scripts/setup-cups)";
        if (qEnvironmentVariable("TEMLO_REQUIRE_CUPS") == QLatin1String("1"))
            QFAIL(missing);
        QSKIP(missing);
    }

    void printsTheLaidOutPages() {
        const QDir out("/var/spool/cups-pdf/" + user);
        const QStringList before = out.entryList({"*.pdf"});
        const Result<PrintedJob> job = printOnDefaultPrinter(listing);
        QVERIFY(job.ok());
        QVERIFY(!job.value().waiting);
        QCOMPARE(QDir::temp().entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
        QString pdf; // the newest there: this job's, once complete
        int printed = 0;
        QTRY_VERIFY_WITH_TIMEOUT(
            !before.contains(pdf = out.entryList({"*.pdf"}, QDir::Files, QDir::Time).value(0)) &&
                (printed = pdfPageCount(out.filePath(pdf))) > 0,
            60000);
        QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        QCOMPARE(size_t(printed), listingPages(listing, printedMetrics(printer)).size());
        QFile::remove(out.filePath(pdf));
    }

    void refusedOrWaiting_data() {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<Fault>("fault"); // when refused
        QTest::addColumn<int>("waiting"); // jobs left in the queue
        QTest::newRow("rejecting") << "TemloRejecting" << Fault::NotAccepting << 0;
        QTest::newRow("missing") << "TemloMissing" << Fault::NoPrinter << 0;
        QTest::newRow("stopped") << "TemloStopped" << Fault{} << 1;
    }
    void refusedOrWaiting() {
        QFETCH(QString, queue);
        QFETCH(int, waiting);
        const qsizetype jobsBefore = jobs(queue).size();
        qputenv("LPDEST", queue.toUtf8());
        const Result<PrintedJob> job = printOnDefaultPrinter(listing);
        qunsetenv("LPDEST");
        const QStringList left = jobs(queue);
        if (!left.isEmpty())
            commandOutput("cancel", left); // which a stopped queue would keep
        QCOMPARE(left.size() - jobsBefore, waiting);
        QCOMPARE(QDir::temp().entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
        QCOMPARE(job.ok(), waiting == 1); // only the stopped queue takes the job, and keeps it
        if (job.ok())
            QVERIFY(job.value().waiting);
        else
            QTEST(job.failure().fault, "fault");
        QVERIFY(job.ok() || !job.failure().detail.isEmpty()); // CUPS's own words
    }

private:
    QTemporaryDir m_tmp; // $TMPDIR
};

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
