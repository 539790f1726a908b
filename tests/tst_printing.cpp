#include "fixture.h"
#include "listingprinter.h"
#include "listtexts.h"
#include "mainwindow.h"

#include <QPrinter>
#include <QTest>

// Every page turn is refused, as by a printer that fails midway.
struct FailingPrinter : QPrinter {
    bool newPage() override { return false; }
};

static std::unique_ptr<QPrinter> pdfPrinter(const QString& path, QPrinter* printer) {
    printer->setOutputFileName(path);
    return std::unique_ptr<QPrinter>(printer);
}

static QString pdfText(const QString& path) {
    return commandOutput("pdftotext", {"-layout", path, "-"});
}

class TestPrinting : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale("cs_CZ")); }

    // "TISK": the heading alone, then every row once, in order, long names whole; the window
    // does not change.
    void windowPrintsEveryRowOnce() {
        const PhotoFolder box;
        MainWindow window(box.appDir());
        const QString pdf = box.root() + "/listing.pdf";
        window.setPrinterFactory(
            [&] { return pdfPrinter(pdf, new QPrinter(QPrinter::HighResolution)); });
        const ModalAnswerer answerer; // keeps any message, which would be a failure here
        const auto shown = [&] {
            return QStringList{
                window.findChild<QWidget*>("TextBox1")->property("plainText").toString(),
                window.findChild<QWidget*>("Label2")->property("text").toString()};
        };
        QTest::mouseClick(window.findChild<QWidget*>("Command3"), Qt::LeftButton);
        QCOMPARE(pdfText(pdf).trimmed(), "--------------");
        const QString spaced = QStringLiteral("Dovolená u moře, Štěrbohol 2023 ").repeated(5);
        std::vector<CatalogueRow> rows{{"a.jpg", ""}, {"c\nd.jpg", ""}};
        for (int i = 0; i < 298; ++i)
            rows.push_back({i == 0   ? spaced
                            : i == 1 ? QString(100, u'x')
                                     : QString::number(i),
                            firstShot.addSecs(i).toString(Qt::ISODateWithMs)});
        rows.push_back({QString(150, u'W'), "2025-01-01T10:00:00.000Z"});
        QVERIFY(box.catalogue().replaceAll(rows).ok());
        QTest::mouseClick(window.findChild<QWidget*>("Command2"), Qt::LeftButton);
        const QStringList sorted = shown();
        QTest::mouseClick(window.findChild<QWidget*>("Command3"), Qt::LeftButton);
        QCOMPARE(shown(), sorted);
        QCOMPARE(answerer.texts, QStringList());
        const QString text = pdfText(pdf);
        QString rest = text.simplified().remove(u' ').remove(0, 14); // after the heading
        for (size_t i = 0; i < rows.size(); ++i) {
            const QString row = QStringLiteral("%1-").arg(i + 1, 3, 10, QChar(u'0')) +
                                rows[i].filename.replace(u'\n', u'?').remove(u' ') +
                                DatumText()(rows[i].datum).remove(u' ');
            QCOMPARE(rest.left(row.size()), row);
            rest.remove(0, row.size());
        }
        QCOMPARE(rest, QString());
        QVERIFY(pdfPageCount(pdf) > 1);
        QList<qsizetype> dateColumns; // on the first page: after wrapped, long and short names
        for (const QString& line : text.split(u'\n').first(12).filter("07.03.2024"))
            dateColumns << line.indexOf("07.03.2024");
        QCOMPARE(dateColumns, QList<qsizetype>(5, dateColumns.value(0)));
        QTest::mouseClick(window.findChild<QWidget*>("Command3"), Qt::LeftButton);
        QCOMPARE(pdfText(pdf), text);
    }

    void failures_data() {
        QTest::addColumn<QString>("output"); // none: no printer
        QTest::addColumn<bool>("failing");
        QTest::addColumn<Fault>("fault");
        QTest::newRow("no printer") << QString() << false << Fault::NoPrinter;
        QTest::newRow("cannot begin") << "gone/x.pdf" << false << Fault::NoPrinter;
        QTest::newRow("failing midway") << "x.pdf" << true << Fault::PrintAborted;
    }
    void failures() {
        QFETCH(QString, output);
        QFETCH(bool, failing);
        const PhotoFolder box;
        const auto pdf =
            pdfPrinter(box.root() + '/' + output, failing ? new FailingPrinter : new QPrinter);
        const Listing listing{"/f/", {300, {"001 - a", ""}}};
        const Result<void> printed = printListing(output.isEmpty() ? nullptr : pdf.get(), listing);
        QVERIFY(!printed.ok());
        QTEST(printed.failure().fault, "fault");
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
