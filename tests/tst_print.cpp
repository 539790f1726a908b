#include "datum.h"
#include "listingfont.h"
#include "listinglayout.h"
#include "pdftools.h"
#include "testsupport.h"

#include <QFile>
#include <QFontInfo>
#include <QPrinter>
#include <QTest>

using Rows = std::vector<CatalogueRow>;
using Lines = std::vector<ListingLine>;
Q_DECLARE_METATYPE(Rows)
Q_DECLARE_METATYPE(Lines)

namespace {

// Ten units a Latin character; other scripts (drawn by fallback fonts) two hundred.
ListingMetrics metrics(qreal pageHeight = 1000) {
    return {10, 20, 10, pageHeight, [](const QString& text) {
                qreal width = 0;
                for (QChar c : text)
                    width += c.unicode() < 0x180 ? 10 : 200;
                return width;
            }};
}

const QString march = QStringLiteral("2024-03-07T08:05:09.123Z");

// Every page turn is refused, as by a printer that fails midway.
class FailingPrinter : public QPrinter {
public:
    using QPrinter::QPrinter;
    bool newPage() override { return false; }
};

std::unique_ptr<QPrinter> pdfPrinter(const QString& path, bool failing = false) {
    std::unique_ptr<QPrinter> printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (failing)
        printer = std::make_unique<FailingPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return printer;
}

// The named files first, then photographs a minute apart.
Rows catalogueOf(int count, Rows named = {}) {
    for (int i = 0; i < count; ++i)
        named.push_back({QStringLiteral("IMG_%1.jpg").arg(i, 4, 10, QLatin1Char('0')),
                         storedDatum(QDateTime(QDate(2024, 6, 1), QTime(8, 0)).addSecs(i * 61))});
    return named;
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT
private slots:
    void layout_data() {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QString>("dirpath");
        QTest::addColumn<qreal>("pageHeight");
        QTest::addColumn<QList<int>>("pageSizes");
        QTest::addColumn<Lines>("expected"); // after the heading; none: as on one long page
        const QString may = QStringLiteral("2024-05-02T22:00:00.000Z"), m = datumText(march);
        const QString fits(59, u'f'), tooLong(60, u'g'); // "001 - " + 59 ends at column 70
        const QString d = QStringLiteral("/home/eva/fotky/");
        QTest::newRow("heading/empty catalogue") << Rows{} << d << 1e3 << QList{4} << Lines{};
        QTest::newRow("heading/no folder") << Rows{} << QString() << 1e3 << QList{4} << Lines{};
        QTest::newRow("rows/dated, undated, line break")
            << Rows{{"a.jpg", march}, {"b - c\nd", ""}, {"Žluť", may}} << d << 1e3 << QList{7}
            << Lines{{"001 - a.jpg", m}, {"002 - b - c?d", {}}, {"003 - Žluť", datumText(may)}};
        QTest::newRow("long name/one past column 70 pushes its date down, ending there keeps it")
            << Rows{{tooLong, march}, {fits, may}} << d << 1e3 << QList{7}
            << Lines{{"001 - " + tooLong, {}}, {{}, m}, {"002 - " + fits, datumText(may)}};
        QTest::newRow("long name/wide script is measured")
            << Rows{{"漢字漢字", march}} << d << 1e3 << QList{6}
            << Lines{{"001 - 漢字漢字", {}}, {{}, m}};
        const Rows twenty(20, {"f.jpg", march});
        QTest::newRow("pages/exactly full")
            << Rows(3, twenty[0]) << d << 70. << QList{7} << Lines{};
        QTest::newRow("pages/one line over")
            << Rows(4, twenty[0]) << d << 70. << QList{7, 1} << Lines{};
        QTest::newRow("pages/part of a line does not fit")
            << twenty << d << 79.9 << QList{7, 7, 7, 3} << Lines{};
        QTest::newRow("pages/lower than a line")
            << Rows(1, twenty[0]) << d << 5. << QList{1, 1, 1, 1, 1} << Lines{};
    }
    void layout() {
        QFETCH(Rows, rows);
        QFETCH(QString, dirpath);
        QFETCH(qreal, pageHeight);
        QFETCH(QList<int>, pageSizes);
        QFETCH(Lines, expected);
        const Listing listing{rows, dirpath, QStringLiteral(" - ")};
        const auto lines = [&](qreal height) {
            std::pair<Lines, QList<int>> laid;
            for (const ListingPage& page : listingPages(listing, metrics(height))) {
                laid.first.insert(laid.first.end(), page.begin(), page.end());
                laid.second << int(page.size());
            }
            return laid;
        };
        expected.insert(expected.begin(), {{}, {"-------" + dirpath + "-------", {}}, {}, {}});
        QCOMPARE(lines(pageHeight).second, pageSizes);
        QCOMPARE(lines(pageHeight).first,
                 expected.size() > 4 || rows.empty() ? expected : lines(1e9).first);
    }

    void fontIsArialCompatibleRegular() {
        const QFontInfo resolved(listingFont());
        QVERIFY2(QStringList({"Arial", "Liberation Sans"}).contains(resolved.family()),
                 qPrintable(resolved.family()));
        QVERIFY(!resolved.bold() && !resolved.italic());
    }

    void pdfHasEveryRowOnceWithItsDateWindowUnchanged() {
        const QString jan = "2024-01-01T10:00:00.000Z", mar = "2024-03-07T08:05:09.123Z";
        Sandbox box;
        box.catalogue().replaceAll(
            catalogueOf(297, {{"a.jpg", ""}, {"b - kopie.jpg", jan}, {"Žluťoučký kůň.jpg", mar}}));
        click(box.window(), "Command2");
        const QString statusBefore = status(box.window()), shownBefore = shownText(box.window());
        click(box.window(), "Command3");
        QVERIFY(box.window().state().listtext.isEmpty());
        QCOMPARE(shownText(box.window()), shownBefore);
        QCOMPARE(status(box.window()), statusBefore);

        const QString pdf = box.path("app/listing.pdf"), text = pdfLayoutText(pdf);
        QVERIFY(pdfPageCount(pdf) > 1);
        QStringList lines = text.split(u'\n');
        lines.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
        QCOMPARE(lines.size(), 1 + 300);
        QCOMPARE(lines[0].trimmed(), "--------------");
        QCOMPARE(lines[1].trimmed(), "001 - a.jpg");
        QCOMPARE(lines[2].simplified(), "002 - b - kopie.jpg " + datumText(jan));
        QCOMPARE(lines[3].simplified(), "003 - Žluťoučký kůň.jpg " + datumText(mar));
        QCOMPARE(lines[3].indexOf(datumText(mar)), lines[2].indexOf(datumText(jan)));
        for (int i = 4; i < 301; ++i)
            QVERIFY2(lines[i].trimmed().startsWith(QStringLiteral("%1 - IMG_%2.jpg")
                                                       .arg(i, 3, 10, QLatin1Char('0'))
                                                       .arg(i - 4, 4, 10, QLatin1Char('0'))),
                     qPrintable(lines[i]));
        click(box.window(), "Command3");
        QCOMPARE(pdfLayoutText(pdf), text);
    }

    void printerProblemIsReported_data() {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("message");
        const QString none = QStringLiteral("Není k dispozici žádná tiskárna. Nic se nevytisklo.");
        QTest::newRow("no printer/none configured") << "none" << none;
        QTest::newRow("no printer/cannot begin a document") << "missing/folder/x.pdf" << none;
        QTest::newRow("failing midway")
            << "failing"
            << "Tisk se nezdařil, tiskárna ohlásila chybu. Tisková úloha byla zrušena.";
        QTest::newRow("catalogue deleted") << "listing.pdf"
                                           << "soubor neexistuje";
    }
    void printerProblemIsReported() {
        QFETCH(QString, printer);
        QFETCH(QString, message);
        Sandbox box;
        box.catalogue().replaceAll(catalogueOf(300));
        const QString path = box.path("app/" + printer);
        box.window().setPrinterFactory([&]() -> std::unique_ptr<QPrinter> {
            return printer == "none" ? nullptr : pdfPrinter(path, printer == "failing");
        });
        if (message.contains("soubor"))
            QVERIFY(QFile::remove(box.catalogue().path()));
        ModalAnswerer answerer;
        click(box.window(), "Command3");
        QCOMPARE(answerer.texts().size(), 1);
        QVERIFY2(answerer.texts()[0].contains(message), qPrintable(answerer.texts()[0]));
        QVERIFY(printer == "failing" || !QFile::exists(path));
        box.catalogue().replaceAll(catalogueOf(1));
        box.window().setPrinterFactory([&] { return pdfPrinter(box.path("app/again.pdf")); });
        click(box.window(), "Command3");
        QCOMPARE(pdfPageCount(box.path("app/again.pdf")), 1);
    }
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
