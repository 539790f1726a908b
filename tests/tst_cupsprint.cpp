#include "listingfont.h"
#include "listinglayout.h"
#include "testsupport.h"

#include <QDir>
#include <QFontMetricsF>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <pwd.h>
#include <unistd.h>

namespace {

// Where cups-pdf writes this user's jobs, from the `Out` line of its configuration.
QString cupsPdfFolder() {
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

QString missingCups() {
    QProcess lpstat;
    lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-r")});
    lpstat.waitForFinished(10000);
    if (!lpstat.readAllStandardOutput().contains("is running"))
        return "no CUPS scheduler is running (run scripts/setup-cups as root)";
    if (QPrinterInfo::defaultPrinter().isNull())
        return "CUPS has no default printer (run scripts/setup-cups as root)";
    if (cupsPdfFolder().isEmpty())
        return "cups-pdf has no output folder in /etc/cups/cups-pdf.conf";
    return {};
}

} // namespace

class TestCupsPrint : public QObject {
    Q_OBJECT
private slots:
    void printsOnDefaultPrinterWithTheLaidOutPages() {
        if (const QString missing = missingCups(); !missing.isEmpty()) {
            if (qEnvironmentVariable("TEMLO_REQUIRE_CUPS") == QLatin1String("1"))
                QFAIL(qPrintable(missing + ", but TEMLO_REQUIRE_CUPS=1"));
            QSKIP(qPrintable(missing));
        }
        Sandbox box;
        const std::vector<CatalogueRow> rows(250, {"IMG.jpg", "2024-01-01T10:00:00.000Z"});
        box.catalogue().replaceAll(rows);
        const QDir folder(cupsPdfFolder());
        const QStringList before = folder.entryList({"*.pdf"}, QDir::Files);
        MainWindow window(box.path("app")); // prints on the default printer
        click(window, "Command3");

        QString written;
        QTRY_VERIFY2_WITH_TIMEOUT(
            [&] {
                for (const QString& name : folder.entryList({"*.pdf"}, QDir::Files))
                    if (!before.contains(name) && pdfPageCount(folder.filePath(name)) > 0)
                        written = folder.filePath(name);
                return !written.isEmpty();
            }(),
            qPrintable("no new PDF in " + folder.path()), 60000);
        QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        const QFontMetricsF font(listingFont(), &printer);
        QCOMPARE(
            std::size_t(pdfPageCount(written)),
            listingPages({rows, {}, QStringLiteral(" - ")}, listingMetrics(font, printer.height()))
                .size());
        QFile::remove(written);
    }
};

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
