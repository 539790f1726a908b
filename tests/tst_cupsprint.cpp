#include "catalogue.h"
#include "listingfont.h"
#include "listinglayout.h"
#include "mainwindow.h"
#include "pdftools.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <pwd.h>
#include <unistd.h>

namespace {

using Rows = std::vector<CatalogueRow>;

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString userName() {
    const passwd* user = getpwuid(geteuid());
    return user ? QString::fromLocal8Bit(user->pw_name) : QString();
}

// Where cups-pdf writes this user's jobs, from the `Out` line of its configuration.
QString cupsPdfFolder() {
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (!conf.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression out(QStringLiteral("^Out\\s+(\\S+)"),
                                        QRegularExpression::MultilineOption);
    QString folder = out.match(QString::fromUtf8(conf.readAll())).captured(1);
    return folder.replace(QStringLiteral("${USER}"), userName())
        .replace(QStringLiteral("${HOME}"), QDir::homePath());
}

QSet<QString> pdfsIn(const QString& folder) {
    const QStringList names = QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    return {names.begin(), names.end()};
}

Rows manyRows(int count) {
    Rows rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(
            {QStringLiteral("IMG_%1.jpg").arg(i), QStringLiteral("2024-01-01T10:00:00.000Z")});
    return rows;
}

std::size_t expectedPages(const Rows& rows) {
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    const QFontMetricsF font(listingFont(), &printer);
    return listingPages({rows, {}, QStringLiteral(" - ")}, listingMetrics(font, printer.height()))
        .size();
}

} // namespace

class TestCupsPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void printsOnDefaultPrinter();
};

void TestCupsPrint::initTestCase() {
    QString missing;
    if (!run(QStringLiteral("lpstat"), {QStringLiteral("-r")})
             .contains(QStringLiteral("is running")))
        missing = QStringLiteral("no CUPS scheduler is running (run scripts/setup-cups as root)");
    else if (QPrinterInfo::defaultPrinter().isNull())
        missing = QStringLiteral("CUPS has no default printer (run scripts/setup-cups as root)");
    else if (cupsPdfFolder().isEmpty())
        missing = QStringLiteral("cups-pdf has no output folder in /etc/cups/cups-pdf.conf");
    if (missing.isEmpty())
        return;
    if (qEnvironmentVariable("TEMLO_REQUIRE_CUPS") == QLatin1String("1"))
        QFAIL(qPrintable(missing + QStringLiteral(", but TEMLO_REQUIRE_CUPS=1")));
    QSKIP(qPrintable(missing));
}

void TestCupsPrint::printsOnDefaultPrinter() {
    QTemporaryDir dir;
    const Rows rows = manyRows(250);
    Catalogue(dir.filePath(QStringLiteral("temlo_files.mdb"))).replaceAll(rows);
    const QString folder = cupsPdfFolder();
    const QSet<QString> before = pdfsIn(folder);

    MainWindow window(dir.path());
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command3")), Qt::LeftButton);

    QString written;
    const auto newPdf = [&] {
        for (const QString& name : pdfsIn(folder) - before)
            if (pdfPageCount(QDir(folder).filePath(name)) > 0)
                written = QDir(folder).filePath(name);
        return !written.isEmpty();
    };
    QTRY_VERIFY2_WITH_TIMEOUT(newPdf(), qPrintable("no new PDF in " + folder), 60000);
    QCOMPARE(std::size_t(pdfPageCount(written)), expectedPages(rows));
    QFile::remove(written);
}

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
