#include "catalogue.h"
#include "listingfont.h"
#include "listinglayout.h"
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
        const QFontMetricsF font(listingFont(), &printer);
        const ListingMetrics metrics = listingMetrics(font, printer.height());
        QCOMPARE(std::size_t(pdfPageCount(written)),
                 listingPages({rows, {}, QStringLiteral(" - ")}, metrics).size());
        QFile::remove(written);
    }
};

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
