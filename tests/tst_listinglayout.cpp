#include "datum.h"
#include "listingfont.h"
#include "listinglayout.h"

#include <QFontInfo>
#include <QTest>

using Rows = std::vector<CatalogueRow>;
using Lines = std::vector<ListingLine>;
Q_DECLARE_METATYPE(Rows)
Q_DECLARE_METATYPE(Lines)

// Ten units a Latin character; other scripts (drawn by fallback fonts) two hundred.
static ListingMetrics metrics(qreal pageHeight = 1000) {
    return {10, 20, 10, pageHeight, [](const QString& text) {
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
        QTest::newRow("pages/exactly full") << 3 << 70.0 << QList<int>{7};
        QTest::newRow("pages/one line over") << 4 << 70.0 << QList<int>{7, 1};
        QTest::newRow("pages/part of a line does not fit") << 20 << 79.9 << QList<int>{7, 7, 7, 3};
        QTest::newRow("pages/lower than a line") << 1 << 5.0 << QList<int>{1, 1, 1, 1, 1};
    }
    void pagination() {
        QFETCH(int, rowCount);
        QFETCH(qreal, pageHeight);
        QFETCH(QList<int>, pageSizes);
        const Rows rows(rowCount, {"f.jpg", march});
        const Listing listing{rows, QStringLiteral("/d/"), QStringLiteral(" - ")};
        const auto pages = listingPages(listing, metrics(pageHeight));
        QList<int> sizes;
        for (const ListingPage& page : pages)
            sizes << int(page.size());
        QCOMPARE(sizes, pageSizes);
        QCOMPARE(allLines(pages), allLines(listingPages(listing, metrics(1e9))));
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
