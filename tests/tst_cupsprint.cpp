#include "catalogue.h"
#include "listingfont.h"
#include "listinglayout.h"
#include "listingprinter.h"
#include "mainwindow.h"
#include "pdftools.h"
#include "testsupport.h"

#include <QDir>
#include <QFontMetricsF>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <cups/cups.h>
#include <pwd.h>
#include <unistd.h>

// Where cups-pdf writes this user's jobs, from the `Out` line of its configuration.
static QString cupsPdfFolder() {
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    const passwd* user = getpwuid(geteuid());
    static const QRegularExpression out(QStringLiteral("^Out\\s+(\\S+)"),
                                        QRegularExpression::MultilineOption);
    if (!conf.open(QIODevice::ReadOnly))
        return {};
    return out.match(QString::fromUtf8(conf.readAll()))
        .captured(1)
        .replace("${USER}", user ? QString::fromLocal8Bit(user->pw_name) : QString())
        .replace("${HOME}", QDir::homePath());
}

static QSet<QString> pdfsIn(const QString& folder) {
    const QStringList names = QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    return {names.begin(), names.end()};
}

// This user's jobs that wait or print on the queue.
static QList<int> myActiveJobs(const QByteArray& queue) {
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue, 1, CUPS_WHICHJOBS_ACTIVE);
    QList<int> ids;
    for (int i = 0; i < count; ++i)
        ids << jobs[i].id;
    cupsFreeJobs(count, jobs);
    return ids;
}

static QStringList temporaryPdfs() {
    return QDir::temp().entryList({QStringLiteral("temlo_rundel-*.pdf")});
}

class TestCupsPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QProcess lpstat;
        lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-r")});
        lpstat.waitForFinished(10000);
        QString missing;
        if (!lpstat.readAllStandardOutput().contains("is running"))
            missing = "no CUPS scheduler is running (run scripts/setup-cups as root)";
        else if (QPrinterInfo::defaultPrinter().isNull())
            missing = "CUPS has no default printer (run scripts/setup-cups as root)";
        else if (QPrinterInfo::printerInfo("TemloRejecting").isNull() ||
                 QPrinterInfo::printerInfo("TemloStopped").isNull())
            missing =
                "no test queues TemloRejecting, TemloStopped (run scripts/setup-cups as root)";
        else if (cupsPdfFolder().isEmpty())
            missing = "cups-pdf has no output folder in /etc/cups/cups-pdf.conf";
        if (missing.isEmpty())
            return;
        if (qEnvironmentVariable("TEMLO_REQUIRE_CUPS") == QLatin1String("1"))
            QFAIL(qPrintable(missing + ", but TEMLO_REQUIRE_CUPS=1"));
        QSKIP(qPrintable(missing));
    }

    void printsOnDefaultPrinter() {
        QTemporaryDir dir;
        std::vector<CatalogueRow> rows;
        for (int i = 0; i < 250; ++i)
            rows.push_back({QStringLiteral("IMG_%1.jpg").arg(i), "2024-01-01T10:00:00.000Z"});
        Catalogue(dir.filePath(QStringLiteral("temlo_files.mdb"))).replaceAll(rows);
        const QString folder = cupsPdfFolder();
        const QSet<QString> before = pdfsIn(folder);
        MainWindow window(dir.path());
        click(window, "Command3");

        QString written;
        const auto newPdf = [&] {
            for (const QString& name : pdfsIn(folder) - before)
                if (pdfPageCount(QDir(folder).filePath(name)) > 0)
                    written = QDir(folder).filePath(name);
            return !written.isEmpty();
        };
        QTRY_VERIFY2_WITH_TIMEOUT(newPdf(), qPrintable("no new PDF in " + folder), 60000);
        QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        reservePrintMargins(printer);
        const QFontMetricsF font(listingFont(), &printer);
        const ListingMetrics metrics =
            listingMetrics(font, QSizeF(printer.width(), printer.height()));
        QCOMPARE(std::size_t(pdfPageCount(written)),
                 listingPages({rows, {}, QStringLiteral(" - ")}, metrics).size());
        QFile::remove(written);
    }

    // The default destination is pointed at each queue through LPDEST, as libcups honours it.
    void refusedOrWaitingJobIsReported_data() {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("jobsWaiting");
        const QString none = QStringLiteral("Nic se nevytisklo.\n(CUPS: ");
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
        QTemporaryDir dir;
        const std::vector<CatalogueRow> rows{{"a.jpg", ""}};
        Catalogue(dir.filePath(QStringLiteral("temlo_files.mdb"))).replaceAll(rows);
        const QByteArray name = queue.toUtf8();
        const qsizetype jobsBefore = myActiveJobs(name).size();
        const QStringList temporariesBefore = temporaryPdfs();
        qputenv("LPDEST", name);
        MainWindow window(dir.path());
        ModalAnswerer answerer;
        click(window, "Command3");
        qunsetenv("LPDEST");
        const QList<int> jobs = myActiveJobs(name);
        for (int job : jobs) // a stopped queue would keep them
            cupsCancelJob2(CUPS_HTTP_DEFAULT, name, job, 0);
        QCOMPARE(answerer.count(), 1);
        QVERIFY2(answerer.texts().first().startsWith(message),
                 qPrintable(answerer.texts().first()));
        QCOMPARE(jobs.size() - jobsBefore, jobsWaiting);
        QCOMPARE(temporaryPdfs(), temporariesBefore);
    }
};

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
