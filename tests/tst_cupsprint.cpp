#include "listingfont.h"
#include "listingprinter.h"
#include "testsupport.h"

#include <QFontMetricsF>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTest>
#include <pwd.h>
#include <unistd.h>

// Prints through the CUPS queues scripts/setup-cups makes; cups-pdf writes this user's jobs
// to /var/spool/cups-pdf/<user>.
class TestCupsPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QProcess lpstat;
        lpstat.start("lpstat", {"-r"});
        if (lpstat.waitForFinished() && lpstat.readAll().contains("is running") &&
            !QPrinterInfo::defaultPrinter().isNull() &&
            QPrinterInfo::availablePrinterNames().contains("TemloStopped"))
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
        QStringList written; // a new job's PDF, once complete
        QTRY_VERIFY_WITH_TIMEOUT(
            (written = out.entryList({"*.pdf"})).removeIf([&](const QString& name) {
                return before.contains(name) || !pdfPageCount(out.filePath(name));
            }) >= 0 &&
                !written.isEmpty(),
            60000);
        QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        reservePrintMargins(printer);
        const QFontMetricsF font(listingFont(), &printer);
        const auto metrics = listingMetrics(font, QSizeF(printer.width(), printer.height()));
        QCOMPARE(size_t(pdfPageCount(out.filePath(written[0]))),
                 listingPages({rows, {}, " - "}, metrics).size());
        QFile::remove(out.filePath(written[0]));
    }

    // The default destination is pointed at each queue through LPDEST, as libcups honours it.
    void refusedOrWaitingJobIsReported_data() {
        // The queue; the start of the message, and the jobs left waiting.
        rows("cups", R"(
refused/rejecting jobs :: TemloRejecting => Tiskárna „TemloRejecting“ nepřijímá tiskové úlohy. Nic se nevytisklo.\n(CUPS: |0
refused/no such printer :: TemloMissing => Není k dispozici žádná tiskárna. Nic se nevytisklo.\n(CUPS: |0
accepted/stopped printer keeps it waiting :: TemloStopped => Tisková úloha čeká ve frontě tiskárny „TemloStopped“|1
)");
    }
    void refusedOrWaitingJobIsReported() {
        QFETCH(QString, script);
        QFETCH(QString, shown);
        const QString& queue = script;
        Sandbox box;
        box.catalogue().replaceAll(std::vector<CatalogueRow>{{"a.jpg", ""}});
        const QString user = QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
        const auto jobs = [&] {
            return commandOutput("lpstat", {"-o", queue})
                .split(u'\n')
                .filter(" " + user + " ")
                .size();
        };
        const qsizetype jobsBefore = jobs();
        const QStringList temporaries = QDir::temp().entryList({"temlo_rundel-*.pdf"});
        qputenv("LPDEST", queue.toUtf8());
        const QString message = box.run("print:cups");
        qunsetenv("LPDEST");
        const qsizetype waiting = jobs() - jobsBefore;
        commandOutput("cancel", {"-u", user, queue}); // this user's, which a stopped queue keeps
        QVERIFY2(message.startsWith(shown.section(u'|', 0, 0)) && !message.contains(u'|'),
                 qPrintable(message));
        QCOMPARE(QString::number(waiting), shown.section(u'|', 1));
        QCOMPARE(QDir::temp().entryList({"temlo_rundel-*.pdf"}), temporaries);
    }
};

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
