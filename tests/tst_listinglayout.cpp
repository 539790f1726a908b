#include "fixture.h"

#include <QTest>

// Ten units a character: a line holds 96 characters from column 5, a name 65 before column 70.
static ListingMetrics units(qreal pageHeight) {
    return {10, 20, 10, pageHeight, 1000, [](const QString& text) { return 10.0 * text.size(); }};
}

class TestListingLayout : public QObject {
    Q_OBJECT
private slots:
    // One row's lines under the four of the heading: at column 5, and at column 70.
    void rows_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("dates");
        const QString a = QString(86, u'a') + ' ', b(30, u'b'), x(96, u'x'),
                      far = "a " + x.left(94);
        const QStringList below{"", "d"};
        QTest::newRow("one past column 70") << x.left(66) << QStringList{x.left(66), ""} << below;
        QTest::newRow("space near the end") << a + b << QStringList{a, b} << below;
        QTest::newRow("space far back") << far + b << QStringList{far, b} << below;
        QTest::newRow("no space") << x + x + b << QStringList{x, x, b} << QStringList{"", "", "d"};
    }
    void rows() {
        QFETCH(QString, name);
        QStringList names, dates;
        const auto pages = listingPages({"/f/", {{name, "d"}}}, units(1e9));
        for (const ListingLine& line : pages.at(0)) {
            names << line.name;
            dates << line.date;
        }
        QTEST(names.mid(4), "names");
        QTEST(dates.mid(4), "dates");
    }

    // Lines per page, the heading's four first.
    void pages_data() {
        QTest::addColumn<qreal>("height");
        QTest::addColumn<Listing>("listing");
        QTest::addColumn<QList<int>>("sizes");
        const ListingEntry f{"f", "d"}, g{QString(66, u'g'), "d"}, h{QString(300, u'h'), "d"};
        QTest::newRow("one line over") << 70.0 << Listing{{}, {4, f}} << QList<int>{7, 1};
        QTest::newRow("name kept with its date") << 70.0 << Listing{{}, {3, g}} << QList<int>{6, 4};
        QTest::newRow("row taller than a page")
            << 30.0 << Listing{{}, {h}} << QList<int>{3, 1, 3, 1};
    }
    void pages() {
        QFETCH(qreal, height);
        QFETCH(Listing, listing);
        QList<int> sizes;
        for (const ListingPage& page : listingPages(listing, units(height)))
            sizes << int(page.size());
        QTEST(sizes, "sizes");
    }
};

QTEST_MAIN(TestListingLayout)
#include "tst_listinglayout.moc"
