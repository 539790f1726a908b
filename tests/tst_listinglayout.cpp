#include "fixture.h"
#include "listingfont.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPrinter>
#include <QTest>

// Ten units a Latin character, twenty the widest; other scripts (fallback fonts) two hundred.
// A line holds 96 characters from column 5, a name 65 before column 70.
static qreal width(const QString& text) {
    const auto wide = std::ranges::count_if(text, [](QChar c) { return c.unicode() >= 0x180; });
    return 10 * qreal(text.size()) + 190 * qreal(wide);
}

static ListingMetrics units(qreal pageHeight = 1e9) {
    return {10, 20, 10, pageHeight, 1000, width};
}

// The texts of every line, at column 5 or at column 70.
static QStringList column(const std::vector<ListingPage>& pages, QString ListingLine::*text) {
    QStringList shown;
    for (const ListingPage& page : pages)
        for (const ListingLine& line : page)
            shown << line.*text;
    return shown;
}

class TestListingLayout : public QObject {
    Q_OBJECT
private slots:
    // One row's lines under the heading: at column 5, and at column 70.
    void rows_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("dates");
        const QString f65(65, u'f'), g66(66, u'g'), f96(96, u'f'), x56(56, u'x'), x96(96, u'x');
        const QString a = QString(86, u'a') + ' ', b30(30, u'b'), far = "a " + x96.left(94);
        const QString date = "7.3.2024 9:05:09", wide = "漢字漢字";
        const QStringList y{"y"}, below{"", "y"}, third{"", "", "y"};
        QTest::newRow("dated") << "a" << date << QStringList{"a"} << QStringList{date};
        QTest::newRow("undated") << "b" << QString() << QStringList{"b"} << QStringList{""};
        QTest::newRow("ends at column 70") << f65 << "y" << QStringList{f65} << y;
        QTest::newRow("one past column 70") << g66 << "y" << QStringList{g66, ""} << below;
        QTest::newRow("wide script measured") << wide << "y" << QStringList{wide, ""} << below;
        QTest::newRow("just filling") << f96 << "y" << QStringList{f96, ""} << below;
        QTest::newRow("near space") << a + b30 << "y" << QStringList{a, b30} << below;
        QTest::newRow("no space") << x96 + x96 + x56 << "y" << QStringList{x96, x96, x56} << third;
        QTest::newRow("far space") << far + x56 << "y" << QStringList{far, x56} << below;
    }
    void rows() {
        QFETCH(QString, name);
        QFETCH(QString, date);
        const auto pages = listingPages({"/d/", {{name, date}}}, units());
        QTEST(column(pages, &ListingLine::name).mid(4), "names");
        QTEST(column(pages, &ListingLine::date).mid(4), "dates");
    }

    // Lines per page: four of heading, then the rows'.
    void pages_data() {
        QTest::addColumn<qreal>("height");
        QTest::addColumn<Listing>("listing");
        QTest::addColumn<QList<int>>("sizes");
        const ListingEntry f{"f", "y"}, g66{QString(66, u'g'), "y"}, h300{QString(300, u'h'), "y"};
        QTest::newRow("exactly full") << 70.0 << Listing{{}, {3, f}} << QList<int>{7};
        QTest::newRow("one line over") << 70.0 << Listing{{}, {4, f}} << QList<int>{7, 1};
        QTest::newRow("part of a line") << 79.9 << Listing{{}, {20, f}} << QList<int>{7, 7, 7, 3};
        QTest::newRow("under a line") << 5.0 << Listing{{}, {1, f}} << QList<int>{1, 1, 1, 1, 1};
        QTest::newRow("name with its date") << 70.0 << Listing{{}, {3, g66}} << QList<int>{6, 4};
        QTest::newRow("too tall") << 30.0 << Listing{{}, {1, h300}} << QList<int>{3, 1, 3, 1};
    }
    void pages() {
        QFETCH(qreal, height);
        QFETCH(Listing, listing);
        QList<int> sizes;
        for (const ListingPage& page : listingPages(listing, units(height)))
            sizes << int(page.size());
        QTEST(sizes, "sizes");
    }

    // In the real font on a PDF page with margins of at least 15 mm: every line inside.
    void printable_data() {
        QTest::addColumn<QString>("dirpath");
        QTest::addColumn<QString>("name");
        const QString spaced = QStringLiteral("Dovolená u moře, Štěrbohol 2023 ").repeated(5);
        QTest::newRow("spaces") << "/f/" << spaced + "x.jpeg";
        QTest::newRow("no space") << "/f/" << QString(150, u'W');
        QTest::newRow("wide script") << "/f/" << QStringLiteral("漢字").repeated(60);
        QTest::newRow("long folder") << "/" + spaced << "a.jpg";
        QTest::newRow("no folder") << QString() << "a.jpg";
    }
    void printable() {
        QFETCH(QString, dirpath);
        QFETCH(QString, name);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageMargins({5, 20, 5, 5}, QPageLayout::Millimeter);
        const ListingMetrics metrics = printedMetrics(printer);
        QCOMPARE(printer.pageLayout().margins(QPageLayout::Millimeter), QMarginsF(15, 20, 15, 15));
        const QFontMetricsF font(listingFont(), &printer);
        const auto pages = listingPages({dirpath, {{name, "07.03.2024 9:05:09"}}}, metrics);
        const qreal room = printer.width() - 4 * metrics.charWidth; // from column 5
        for (const QString& text : column(pages, &ListingLine::name))
            QCOMPARE_LE(font.horizontalAdvance(text), room);
        for (const QString& text : column(pages, &ListingLine::date))
            QCOMPARE_LE(font.horizontalAdvance(text), room - 65 * metrics.charWidth);
        QCOMPARE(column(pages, &ListingLine::name).join(""),
                 "-------" + dirpath + "-------" + name);
        const QFontInfo face(listingFont()); // Arial's metrics, regular
        const QString shape = face.family() + ' ' + face.styleName();
        QVERIFY2(shape == "Arial Regular" || shape == "Liberation Sans Regular", qPrintable(shape));
    }
};

QTEST_MAIN(TestListingLayout)
#include "tst_listinglayout.moc"
