#include "datum.h"
#include "listingfont.h"
#include "listinglayout.h"
#include "listingprinter.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPrinter>
#include <QTest>

using Rows = std::vector<CatalogueRow>;
using Lines = std::vector<ListingLine>;
Q_DECLARE_METATYPE(Rows)
Q_DECLARE_METATYPE(Lines)

// Ten units a Latin character; other scripts (drawn by fallback fonts) two hundred. A line
// holds 96 Latin characters from column 5.
static ListingMetrics metrics(qreal pageHeight = 1000) {
    return {10, 20, 10, pageHeight, 1000, [](const QString& text) {
                qreal width = 0;
                for (QChar c : text)
                    width += c.unicode() < 0x180 ? 10 : 200;
                return width;
            }};
}

static Lines allLines(const std::vector<ListingPage>& pages) {
    Lines lines;
    for (const ListingPage& page : pages)
        lines.insert(lines.end(), page.begin(), page.end());
    return lines;
}

static const QString march = QStringLiteral("2024-03-07T08:05:09.123Z");

class TestListingLayout : public QObject {
    Q_OBJECT
private slots:
    void lines_data() {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QString>("dirpath");
        QTest::addColumn<Lines>("expected"); // after the heading
        const QString may = QStringLiteral("2024-05-02T22:00:00.000Z"), m = datumText(march);
        const QString fits(59, u'f'), tooLong(60, u'g'); // "001 - " + 59 ends at column 70
        const QString d = QStringLiteral("/home/eva/fotky/");
        QTest::newRow("heading/empty catalogue") << Rows{} << d << Lines{};
        QTest::newRow("heading/no folder") << Rows{} << QString() << Lines{};
        QTest::newRow("rows/dated, undated, line break")
            << Rows{{"a.jpg", march}, {"b - c\nd", ""}, {"Žluť", may}} << d
            << Lines{{"001 - a.jpg", m}, {"002 - b - c?d", {}}, {"003 - Žluť", datumText(may)}};
        QTest::newRow("long name/one past column 70 pushes its date down, ending there keeps it")
            << Rows{{tooLong, march}, {fits, may}} << d
            << Lines{{"001 - " + tooLong, {}}, {{}, m}, {"002 - " + fits, datumText(may)}};
        QTest::newRow("long name/wide script is measured")
            << Rows{{"漢字漢字", march}} << d << Lines{{"001 - 漢字漢字", {}}, {{}, m}};
        const QString a80(80, u'a'), b30(30, u'b'), x(250, u'x');
        QTest::newRow("long name/just filling the line")
            << Rows{{QString(90, u'f'), march}} << d
            << Lines{{"001 - " + QString(90, u'f'), {}}, {{}, m}};
        QTest::newRow("long name/two lines, broken after a near space")
            << Rows{{a80 + " " + b30, march}} << d << Lines{{"001 - " + a80 + " ", {}}, {b30, m}};
        QTest::newRow("long name/three lines, no space")
            << Rows{{x, march}} << d
            << Lines{{"001 - " + x.left(90), {}}, {x.mid(90, 96), {}}, {x.mid(186), m}};
        QTest::newRow("long name/a space far back is not used")
            << Rows{{"a " + x.left(150), march}} << d
            << Lines{{"001 - a " + x.left(88), {}}, {x.left(62), m}};
    }
    void lines() {
        QFETCH(Rows, rows);
        QFETCH(QString, dirpath);
        QFETCH(Lines, expected);
        expected.insert(expected.begin(), {{}, {"-------" + dirpath + "-------", {}}, {}, {}});
        const auto pages = listingPages({rows, dirpath, QStringLiteral(" - ")}, metrics());
        QCOMPARE(pages.size(), 1u);
        QCOMPARE(pages.front(), expected);
    }

    void pagination_data() {
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<qreal>("pageHeight");
        QTest::addColumn<QList<int>>("pageSizes");
        QTest::addColumn<QString>("name");
        const QString f = QStringLiteral("f.jpg"), twoLines(60, u'g');
        QTest::newRow("pages/exactly full") << 3 << 70.0 << QList<int>{7} << f;
        QTest::newRow("pages/one line over") << 4 << 70.0 << QList<int>{7, 1} << f;
        QTest::newRow("pages/part of a line does not fit")
            << 20 << 79.9 << QList<int>{7, 7, 7, 3} << f;
        QTest::newRow("pages/lower than a line") << 1 << 5.0 << QList<int>{1, 1, 1, 1, 1} << f;
        QTest::newRow("pages/a name stays with its date")
            << 3 << 70.0 << QList<int>{6, 4} << twoLines;
        QTest::newRow("pages/a row taller than a page is parted")
            << 1 << 30.0 << QList<int>{3, 1, 3, 1} << QString(300, u'h');
    }
    void pagination() {
        QFETCH(int, rowCount);
        QFETCH(qreal, pageHeight);
        QFETCH(QList<int>, pageSizes);
        QFETCH(QString, name);
        const Rows rows(rowCount, {name, march});
        const Listing listing{rows, QStringLiteral("/d/"), QStringLiteral(" - ")};
        const auto pages = listingPages(listing, metrics(pageHeight));
        QList<int> sizes;
        for (const ListingPage& page : pages)
            sizes << int(page.size());
        QCOMPARE(sizes, pageSizes);
        QCOMPARE(allLines(pages), allLines(listingPages(listing, metrics(1e9))));
    }

    void everyCharacterInsideThePrintableArea_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("dirpath");
        const QString words = QStringLiteral("Dovolená u moře, Štěrbohol 2023 ").repeated(5);
        QTest::newRow("real font/150 characters with spaces") << words + "x.jpeg"
                                                              << "/f";
        QTest::newRow("real font/wide letters, no space") << QString(150, u'W') + ".jpg"
                                                          << "/f";
        QTest::newRow("real font/wide script") << QStringLiteral("漢字").repeated(60) << "/f";
        QTest::newRow("real font/long folder in the heading") << "a.jpg"
                                                              << "/" + words;
    }
    void everyCharacterInsideThePrintableArea() {
        QFETCH(QString, name);
        QFETCH(QString, dirpath);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        reservePrintMargins(printer);
        const QRectF paper = printer.paperRect(QPrinter::Millimeter);
        const QRectF page = printer.pageRect(QPrinter::Millimeter);
        QVERIFY(page.top() - paper.top() >= 15 && paper.bottom() - page.bottom() >= 15);
        QVERIFY(page.left() - paper.left() >= 15 && paper.right() - page.right() >= 15);
        const QFontMetricsF font(listingFont(), &printer);
        const ListingMetrics m = listingMetrics(font, QSizeF(printer.width(), printer.height()));
        const Rows rows{{name, march}};
        QString printed;
        for (const ListingLine& line : allLines(listingPages({rows, dirpath, " - "}, m))) {
            for (int column : {5, 70}) {
                const QString& text = column == 5 ? line.atColumn5 : line.atColumn70;
                const qreal end = columnOffset(column, m.charWidth) + font.horizontalAdvance(text);
                QVERIFY2(end <= printer.width(), qPrintable(text));
            }
            printed += line.atColumn5;
        }
        QVERIFY(printed.contains("-------" + dirpath + "-------001 - " + name));
    }

    void printFontResolvesToArialCompatibleRegular() {
        const QFontInfo resolved(listingFont());
        QVERIFY2(QStringList({"Arial", "Liberation Sans"}).contains(resolved.family()),
                 qPrintable(resolved.family()));
        QVERIFY(!resolved.bold() && !resolved.italic());
    }
};

QTEST_MAIN(TestListingLayout)
#include "tst_listinglayout.moc"
