#include "listingfont.h"
#include "listingprinter.h"
#include "testsupport.h"

#include <QFontMetricsF>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTest>
#include <cups/cups.h>
#include <pwd.h>
#include <unistd.h>

namespace {

// This user's jobs that wait or print on the queue.
QList<int> activeJobs(const QByteArray& queue) {
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue, 1, CUPS_WHICHJOBS_ACTIVE);
    QList<int> ids;
    for (int i = 0; i < count; ++i)
        ids << jobs[i].id;
    cupsFreeJobs(count, jobs);
    return ids;
}

} // namespace

// Prints through the CUPS queues scripts/setup-cups makes; cups-pdf writes this user's jobs
// to /var/spool/cups-pdf/<user>.
class TestCupsPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QProcess lpstat;
        lpstat.start("lpstat", {"-r"});
        const bool running = lpstat.waitForFinished() && lpstat.readAll().contains("is running");
        if (running && !QPrinterInfo::defaultPrinter().isNull() &&
            !QPrinterInfo::printerInfo("TemloRejecting").isNull() &&
            !QPrinterInfo::printerInfo("TemloStopped").isNull())
            return;
        const char* missing = "no CUPS with the queues PDF (default), TemloRejecting and "
                              "TemloStopped (run scripts/setup-cups as root)";
        if (qEnvironmentVariable("TEMLO_REQUIRE_CUPS") == QLatin1String("1"))
            QFAIL(missing);
        QSKIP(missing);
    }

    void printsOnDefaultPrinterWithTheLaidOutPages() {
        Sandbox box;
        const std::vector<CatalogueRow> rows(250, {"IMG.jpg", "2024-01-01T10:00:00.000Z"});
        box.catalogue().replaceAll(rows);
        const QDir out("/var/spool/cups-pdf/" +
                       QString::fromLocal8Bit(getpwuid(geteuid())->pw_name));
        const QStringList before = out.entryList({"*.pdf"});
        QCOMPARE(box.run("print:cups"), "");
        QString written;
        const auto newPdf = [&] {
            for (const QString& name : out.entryList({"*.pdf"}))
                if (!before.contains(name) && pdfPageCount(out.filePath(name)) > 0)
                    written = out.filePath(name);
            return !written.isEmpty();
        };
        QTRY_VERIFY2_WITH_TIMEOUT(newPdf(), qPrintable("no new PDF in " + out.path()), 60000);
        QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        reservePrintMargins(printer);
        const QFontMetricsF font(listingFont(), &printer);
        const auto metrics = listingMetrics(font, QSizeF(printer.width(), printer.height()));
        QCOMPARE(size_t(pdfPageCount(written)), listingPages({rows, {}, " - "}, metrics).size());
        QFile::remove(written);
    }

    // The default destination is pointed at each queue through LPDEST, as libcups honours it.
    void refusedOrWaitingJobIsReported_data() {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("jobsWaiting");
        const QString none = "Nic se nevytisklo.\n(CUPS: ";
        QTest::newRow("refused/rejecting jobs")
            << "TemloRejecting"
            << "Tiskárna „TemloRejecting“ nepřijímá tiskové úlohy. " + none << 0;
        QTest::newRow("refused/no such printer") << "TemloMissing"
                                                 << "Není k dispozici žádná tiskárna. " + none << 0;
        QTest::newRow("accepted/stopped printer keeps it waiting")
            << "TemloStopped"
            << "Tisková úloha čeká ve frontě tiskárny „TemloStopped“" << 1;
    }
    void refusedOrWaitingJobIsReported() {
        QFETCH(QString, queue);
        QFETCH(QString, message);
        QFETCH(int, jobsWaiting);
        Sandbox box;
        box.catalogue().replaceAll(std::vector<CatalogueRow>{{"a.jpg", ""}});
        const qsizetype jobsBefore = activeJobs(queue.toUtf8()).size();
        const QStringList temporaries = QDir::temp().entryList({"temlo_rundel-*.pdf"});
        qputenv("LPDEST", queue.toUtf8());
        const QString shown = box.run("print:cups");
        qunsetenv("LPDEST");
        const QList<int> jobs = activeJobs(queue.toUtf8());
        for (int job : jobs) // a stopped queue would keep them
            cupsCancelJob2(CUPS_HTTP_DEFAULT, qPrintable(queue), job, 0);
        QVERIFY2(shown.startsWith(message) && !shown.contains(u'|'), qPrintable(shown));
        QCOMPARE(jobs.size() - jobsBefore, jobsWaiting);
        QCOMPARE(QDir::temp().entryList({"temlo_rundel-*.pdf"}), temporaries);
    }
};

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
