#include "fixture.h"
#include "listingprinter.h"
#include "listtexts.h"
#include "mainwindow.h"

#include <QPrinter>
#include <QTest>

class TestPrinting : public QObject {
    Q_OBJECT
private slots:
    // The heading, then every row once, in order, on two pages; in 8 pt (words 9 pt tall) at
    // least 15 mm (42.5 pt) from the paper's edges.
    void windowPrintsEveryRowOnce() {
        const PhotoFolder box;
        MainWindow window(box.appDir());
        const QString pdf = box.root() + "/listing.pdf";
        window.setPrinterFactory([&] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFileName(pdf);
            return printer;
        });
        // Any message is a failure.
        const ModalAnswerer answerer;
        std::vector<CatalogueRow> rows{{QString("Dovolená u moře, Štěrbohol ").repeated(6), ""}};
        QString listing = "-------------- 001 - " + rows[0].filename;
        for (int i = 1; i < 100; ++i) {
            rows.push_back({QString::number(i), firstShot.addSecs(i).toString(Qt::ISODateWithMs)});
            listing += QString::asprintf(" %03d - %d ", i + 1, i) + DatumText()(rows[i].datum);
        }
        QVERIFY(box.catalogue().replaceAll(rows).ok());
        QTest::mouseClick(window.findChild<QWidget*>("Command3"), Qt::LeftButton);
        QCOMPARE(answerer.texts, QStringList());
        const QString text = commandOutput("pdftotext", {"-layout", pdf, "-"});
        const QStringList printed = text.simplified().split(u' ');
        const QStringList expected = listing.simplified().split(u' ');
        // Comparing the lists would show their sizes alone.
        for (qsizetype i = 0; i < std::max(printed.size(), expected.size()); ++i)
            QCOMPARE(printed.value(i), expected.value(i));
        for (const QString& line : commandOutput("pdftotext", {"-tsv", pdf, "-"}).split(u'\n')) {
            // A word (level 5): its left, top, width and height as fields 6 to 9.
            const QStringList word = line.split(u'\t');
            if (word[0] == "5") {
                QCOMPARE_GE(qMin(word[6].toDouble(), word[7].toDouble()), 42.5);
                QCOMPARE(qRound(word[9].toDouble()), 9);
            }
        }
        // A form feed after each page.
        QCOMPARE(text.count(u'\f'), 2);
    }

    void failingMidway() {
        const PhotoFolder box;
        // Every page turn is refused, as by a printer failing midway.
        struct : QPrinter {
            bool newPage() override { return false; }
        } printer;
        printer.setOutputFileName(box.root() + "/x.pdf");
        const Result<void> printed = printListing(&printer, {{}, {300, {"a", ""}}});
        QCOMPARE(failureOf(printed), failure(Fault::PrintAborted, {}));
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
