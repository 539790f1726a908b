#include "datum.h"
#include "listingfont.h"
#include "listinglayout.h"

#include <QFontInfo>
#include <QTest>
#include <numeric>

namespace {

using Rows = std::vector<CatalogueRow>;
using Lines = std::vector<ListingLine>;

const QString separator = QStringLiteral(" - ");
const QString dashes = QStringLiteral("-------");

bool isLatin(QChar c) {
    return c.unicode() < 0x180;
}

// Ten units a character; other scripts (drawn by fallback fonts) two hundred.
ListingMetrics metrics(qreal pageHeight = 1000) {
    return {10, 20, 10, pageHeight, [](const QString& text) {
                return std::accumulate(text.begin(), text.end(), 0.0, [](qreal sum, QChar c) {
                    return sum + (isLatin(c) ? 10 : 200);
                });
            }};
}

Lines heading(const QString& dirpath) {
    return {{}, {dashes + dirpath + dashes, {}}, {}, {}};
}

Lines withHeading(const QString& dirpath, const Lines& rowLines) {
    Lines lines = heading(dirpath);
    lines.insert(lines.end(), rowLines.begin(), rowLines.end());
    return lines;
}

Lines allLines(const std::vector<ListingPage>& pages) {
    Lines lines;
    for (const ListingPage& page : pages)
        lines.insert(lines.end(), page.begin(), page.end());
    return lines;
}

const QString march = QStringLiteral("2024-03-07T08:05:09.123Z");
const QString april = QStringLiteral("2024-04-01T10:00:00.000Z");
const QString may = QStringLiteral("2024-05-02T22:00:00.000Z");

} // namespace

Q_DECLARE_METATYPE(Rows)
Q_DECLARE_METATYPE(Lines)

namespace QTest {
template <> char* toString(const ListingLine& line) {
    return qstrdup(qPrintable(u'[' + line.atColumn5 + u'|' + line.atColumn70 + u']'));
}
} // namespace QTest

class TestListingLayout : public QObject {
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
    void pagination_data();
    void pagination();
    void printFontIsArialCompatibleRegular();
};

void TestListingLayout::lines_data() {
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QString>("dirpath");
    QTest::addColumn<Lines>("expected");

    const QString photos = QStringLiteral("/home/eva/fotky/");
    QTest::newRow("heading/empty catalogue") << Rows{} << photos << heading(photos);
    QTest::newRow("heading/no folder chosen")
        << Rows{} << QString() << Lines{{}, {QStringLiteral("--------------"), {}}, {}, {}};
    QTest::newRow("rows/three in print order")
        << Rows{{"a.jpg", march}, {"b - kopie.jpg", april}, {"Žluťoučký kůň.jpg", may}} << photos
        << withHeading(photos, {{"001 - a.jpg", datumText(march)},
                                {"002 - b - kopie.jpg", datumText(april)},
                                {"003 - Žluťoučký kůň.jpg", datumText(may)}});
    QTest::newRow("rows/line break inside a name stays on its line")
        << Rows{{"a\nb.jpg", march}} << photos
        << withHeading(photos, {{"001 - a?b.jpg", datumText(march)}});
    QTest::newRow("rows/unknown date prints no date")
        << Rows{{"a.jpg", ""}} << photos << withHeading(photos, {{"001 - a.jpg", {}}});

    // Sixty-five characters reach exactly to column 70; one more reaches past it.
    const QString fits = QString(59, u'f');
    const QString tooLong = QString(60, u'g');
    QTest::newRow("long name/ending at the date column keeps its date")
        << Rows{{fits, march}} << photos
        << withHeading(photos, {{"001 - " + fits, datumText(march)}});
    QTest::newRow("long name/reaching past the date column pushes its date down")
        << Rows{{tooLong, march}, {"b.jpg", april}} << photos
        << withHeading(photos, {{"001 - " + tooLong, {}},
                                {{}, datumText(march)},
                                {"002 - b.jpg", datumText(april)}});
    QTest::newRow("long name/few wide characters of another script are measured")
        << Rows{{QStringLiteral("漢字漢字"), march}} << photos
        << withHeading(photos, {{QStringLiteral("001 - 漢字漢字"), {}}, {{}, datumText(march)}});
}

void TestListingLayout::lines() {
    QFETCH(Rows, rows);
    QFETCH(QString, dirpath);
    QFETCH(Lines, expected);
    const std::vector<ListingPage> pages = listingPages({rows, dirpath, separator}, metrics());
    QCOMPARE(pages.size(), 1u);
    QCOMPARE(pages.front(), expected);
}

void TestListingLayout::pagination_data() {
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<qreal>("pageHeight");
    QTest::addColumn<QList<int>>("pageSizes");

    QTest::newRow("pages/heading alone") << 0 << 70.0 << QList<int>{4};
    QTest::newRow("pages/exactly full") << 3 << 70.0 << QList<int>{7};
    QTest::newRow("pages/one line over") << 4 << 70.0 << QList<int>{7, 1};
    QTest::newRow("pages/part of a line does not fit") << 20 << 79.9 << QList<int>{7, 7, 7, 3};
    QTest::newRow("pages/page lower than a line") << 1 << 5.0 << QList<int>{1, 1, 1, 1, 1};
}

void TestListingLayout::pagination() {
    QFETCH(int, rowCount);
    QFETCH(qreal, pageHeight);
    QFETCH(QList<int>, pageSizes);
    Rows rows;
    for (int i = 0; i < rowCount; ++i)
        rows.push_back({QStringLiteral("f%1.jpg").arg(i), march});
    const Listing listing{rows, QStringLiteral("/d/"), separator};

    const std::vector<ListingPage> pages = listingPages(listing, metrics(pageHeight));
    QList<int> sizes;
    for (const ListingPage& page : pages)
        sizes << int(page.size());
    QCOMPARE(sizes, pageSizes);
    QCOMPARE(allLines(pages), allLines(listingPages(listing, metrics(1e9))));
}

void TestListingLayout::printFontIsArialCompatibleRegular() {
    const QFont font = listingFont();
    QCOMPARE(font.family(), QStringLiteral("Arial CE"));
    QCOMPARE(font.pointSizeF(), 8.0);
    const QFontInfo resolved(font);
    QVERIFY2(QStringList({"Arial", "Liberation Sans"}).contains(resolved.family()),
             qPrintable(resolved.family()));
    QVERIFY(!resolved.bold());
    QVERIFY(!resolved.italic());
}

QTEST_MAIN(TestListingLayout)
#include "tst_listinglayout.moc"
