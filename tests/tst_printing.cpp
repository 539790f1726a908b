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

struct Word {
    int page;
    QRectF box; // in points; for "###PAGE###" the page's
    QString text;
};

// A PDF's pages and words: each page, then its words line by line, left to right.
static QList<Word> words(const QString& pdf) {
    QList<Word> found;
    for (const QString& line : commandOutput("pdftotext", {"-tsv", pdf, "-"}).split(u'\n')) {
        const QStringList f = line.split(u'\t');
        const QPointF at = f[0] == "5" ? QPointF(f[6].toDouble(), f[7].toDouble()) : QPointF();
        if (f.size() == 12 && (f[0] == "1" || f[0] == "5"))
            found.append({f[1].toInt(), {at, QSizeF(f[8].toDouble(), f[9].toDouble())}, f[11]});
    }
    std::ranges::sort(found, {},
                      [](const Word& w) { return std::tuple(w.page, w.box.top(), w.box.left()); });
    return found;
}

class TestPrinting : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale("cs_CZ")); }

    // "TISK": the heading, then every row once, in order, in 8 pt (words 9 pt tall) at least
    // 15 mm (42.5 pt) from the paper's edges.
    void windowPrintsEveryRowOnce() {
        const PhotoFolder box;
        MainWindow window(box.appDir());
        const QString pdf = box.root() + "/listing.pdf";
        window.setPrinterFactory([&] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFileName(pdf);
            return printer;
        });
        const ModalAnswerer answerer; // keeps any message, which would be a failure here
        const QString spaced = QStringLiteral("Dovolená u moře, Štěrbohol 2023 ").repeated(5);
        std::vector<CatalogueRow> rows{{"a.jpg", ""}, {"c\nd.jpg", ""}};
        for (int i = 0; i < 298; ++i)
            rows.push_back({i ? QString::number(i) : spaced,
                            firstShot.addSecs(i).toString(Qt::ISODateWithMs)});
        QVERIFY(box.catalogue().replaceAll(rows).ok());
        QTest::mouseClick(window.findChild<QWidget*>("Command2"), Qt::LeftButton);
        QTest::mouseClick(window.findChild<QWidget*>("Command3"), Qt::LeftButton);
        QCOMPARE(answerer.texts, QStringList());
        QStringList expected{"--------------"}, printed;
        for (size_t i = 0; i < rows.size(); ++i)
            expected << QStringLiteral("%1 - %2 %3")
                            .arg(i + 1, 3, 10, QChar(u'0'))
                            .arg(rows[i].filename.replace(u'\n', u'?'), DatumText()(rows[i].datum))
                            .split(u' ', Qt::SkipEmptyParts);
        QRectF page;
        for (const Word& word : words(pdf)) {
            if (word.text == "###PAGE###") {
                page = word.box.marginsRemoved({42.5, 42.5, 42.5, 42.5});
                continue;
            }
            printed << word.text;
            QCOMPARE(page.united(word.box), page);
            QCOMPARE(qRound(word.box.height()), 9);
        }
        QCOMPARE(printed, expected);
        QCOMPARE_GT(pdfPageCount(pdf), 1);
    }

    void failingMidway() {
        const PhotoFolder box;
        FailingPrinter printer;
        printer.setOutputFileName(box.root() + "/x.pdf");
        const Result<void> printed = printListing(&printer, {"/f/", {300, {"001 - a", ""}}});
        QCOMPARE(failureOf(printed), failure(Fault::PrintAborted, {}));
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
