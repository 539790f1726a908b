#include "catalogue.h"
#include "datum.h"
#include "listbox.h"
#include "listingfont.h"
#include "listingprinter.h"
#include "mainwindow.h"
#include "pdftools.h"
#include "testsupport.h"

#include <QFile>
#include <QFontMetricsF>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Rows = std::vector<CatalogueRow>;

const QString separator = QStringLiteral(" - ");

std::unique_ptr<QPrinter> pdfPrinter(const QString& path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return printer;
}

// Every page turn is refused, as by a printer that fails midway.
class FailingPrinter : public QPrinter {
public:
    bool newPage() override { return false; }
};

Rows manyRows(int count) {
    Rows rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({QStringLiteral("IMG_%1.jpg").arg(i, 4, 10, QLatin1Char('0')),
                        storedDatum(QDateTime(QDate(2024, 1, 1), QTime(8, 0)).addSecs(i * 61))});
    return rows;
}

std::size_t layoutPageCount(const Rows& rows) {
    const auto printer = pdfPrinter(QString());
    const QFontMetricsF font(listingFont(), printer.get());
    return listingPages({rows, {}, separator}, listingMetrics(font, printer->height())).size();
}

QStringList nonEmptyLines(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(u'\n'))
        if (!line.trimmed().isEmpty())
            lines << line;
    return lines;
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT
private slots:
    void init();
    void pdfShowsHeadingNamesAndDatesInOneColumn();
    void longListingRunsOverPagesWithEveryRowOnce();
    void twoPrintsGiveSameDocument();
    void printLeavesWindowAsItWas();
    void missingPrinterIsReported_data();
    void missingPrinterIsReported();
    void printerFailureMidwayAbortsJob();
    void catalogueErrorIsReported();

private:
    MainWindow& window();
    void seed(const Rows& rows);
    QString printViaWindow(const QString& name);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
};

void TestPrint::init() {
    m_window.reset();
    m_dir = std::make_unique<QTemporaryDir>();
}

MainWindow& TestPrint::window() {
    if (!m_window)
        m_window = std::make_unique<MainWindow>(m_dir->path());
    return *m_window;
}

void TestPrint::seed(const Rows& rows) {
    Catalogue(m_dir->filePath(QStringLiteral("temlo_files.mdb"))).replaceAll(rows);
}

QString TestPrint::printViaWindow(const QString& name) {
    const QString path = m_dir->filePath(name);
    window().setPrinterFactory([path] { return pdfPrinter(path); });
    click(window(), "Command3");
    return path;
}

void TestPrint::pdfShowsHeadingNamesAndDatesInOneColumn() {
    const Rows rows{{"b - kopie.jpg", "2024-02-01T10:00:00.000Z"},
                    {"Žluťoučký kůň.jpg", "2024-03-07T08:05:09.123Z"},
                    {"a.jpg", "2024-01-01T10:00:00.000Z"}};
    seed(rows);
    const QStringList lines = nonEmptyLines(pdfLayoutText(printViaWindow("listing.pdf")));

    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0].trimmed(), QStringLiteral("--------------"));
    const QStringList names{"001 - a.jpg", "002 - b - kopie.jpg", "003 - Žluťoučký kůň.jpg"};
    const QStringList dates{datumText(rows[2].datum), datumText(rows[0].datum),
                            datumText(rows[1].datum)};
    const qsizetype dateColumn = lines[1].indexOf(dates[0]);
    for (int i = 0; i < 3; ++i) {
        const QString& line = lines[i + 1];
        QVERIFY2(line.trimmed().startsWith(names[i]), qPrintable(line));
        QVERIFY2(line.indexOf(dates[i]) == dateColumn && dateColumn > names[i].size(),
                 qPrintable(line));
    }
}

void TestPrint::longListingRunsOverPagesWithEveryRowOnce() {
    const Rows rows = manyRows(300);
    seed(rows);
    const QString path = printViaWindow("long.pdf");
    const int pages = pdfPageCount(path);
    QVERIFY(pages > 1);
    QCOMPARE(std::size_t(pages), layoutPageCount(rows));

    const QStringList lines = nonEmptyLines(pdfLayoutText(path));
    QCOMPARE(lines.size(), 1 + 300);
    for (int i = 0; i < 300; ++i) {
        const QString name =
            QStringLiteral("%1 - %2").arg(i + 1, 3, 10, QLatin1Char('0')).arg(rows[i].filename);
        QVERIFY2(lines[i + 1].trimmed().startsWith(name), qPrintable(lines[i + 1]));
    }
}

void TestPrint::twoPrintsGiveSameDocument() {
    seed(manyRows(150));
    const QString first = pdfLayoutText(printViaWindow("first.pdf"));
    const QString second = pdfLayoutText(printViaWindow("second.pdf"));
    QVERIFY(first.contains(QStringLiteral("001 - IMG_0000.jpg")));
    QCOMPARE(second, first);
    QCOMPARE(pdfPageCount(m_dir->filePath("second.pdf")),
             pdfPageCount(m_dir->filePath("first.pdf")));
}

void TestPrint::printLeavesWindowAsItWas() {
    seed({{"a.jpg", "2024-01-01T10:00:00.000Z"}});
    click(window(), "Command2");
    const QString status = window().findChild<QLabel*>("Label2")->text();
    auto* list = window().findChild<ListBox*>("TextBox1");
    const QString shown = list->toPlainText();
    QVERIFY(!window().state().listtext.isEmpty());

    QVERIFY(QFile::exists(printViaWindow("listing.pdf")));
    QVERIFY(window().state().listtext.isEmpty());
    QCOMPARE(list->toPlainText(), shown);
    QCOMPARE(window().findChild<QLabel*>("Label2")->text(), status);
}

void TestPrint::missingPrinterIsReported_data() {
    QTest::addColumn<bool>("noPrinterAtAll");
    QTest::newRow("no printer/none configured") << true;
    QTest::newRow("no printer/cannot start a document") << false;
}

void TestPrint::missingPrinterIsReported() {
    QFETCH(bool, noPrinterAtAll);
    seed(manyRows(3));
    const QString unreachable = m_dir->filePath("missing/folder/listing.pdf");
    window().setPrinterFactory([&]() -> std::unique_ptr<QPrinter> {
        return noPrinterAtAll ? nullptr : pdfPrinter(unreachable);
    });
    ModalAnswerer answerer;
    click(window(), "Command3");
    QCOMPARE(answerer.texts(), QStringList("Není k dispozici žádná tiskárna. Nic se nevytisklo."));
    QVERIFY(!QFile::exists(unreachable));

    QVERIFY(QFile::exists(printViaWindow("afterwards.pdf")));
}

void TestPrint::printerFailureMidwayAbortsJob() {
    seed(manyRows(300));
    const QString path = m_dir->filePath("failing.pdf");
    window().setPrinterFactory([path] {
        auto printer = std::make_unique<FailingPrinter>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        return printer;
    });
    ModalAnswerer answerer;
    click(window(), "Command3");
    QCOMPARE(answerer.texts(),
             QStringList("Tisk se nezdařil, tiskárna ohlásila chybu. Tisková úloha byla zrušena."));
}

void TestPrint::catalogueErrorIsReported() {
    seed(manyRows(3));
    const QString catalogue = window().catalogue().path();
    QVERIFY(QFile::remove(catalogue));
    ModalAnswerer answerer;
    const QString path = printViaWindow("listing.pdf");
    QCOMPARE(answerer.count(), 1);
    QVERIFY2(answerer.texts().first().contains(catalogue), qPrintable(answerer.texts().first()));
    QVERIFY(!QFile::exists(path));
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
