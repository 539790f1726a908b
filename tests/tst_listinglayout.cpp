#include "listinglayout.h"

#include <QTest>

// Ten units a character: a line holds 96 characters from column 5, a name 65 before column 70.
static ListingMetrics units(qreal pageHeight) {
    return {10, 20, 10, pageHeight, 1000, [](const QString& text) { return 10.0 * text.size(); }};
}

class TestListingLayout : public QObject {
    Q_OBJECT
private slots:
    // One row's lines at column 5 under the heading's four; its date goes on the last.
    void rows_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("lines");
        const QString a = QString(86, u'a') + ' ', b(30, u'b'), x(96, u'x'), f = "a " + x.left(94);
        QTest::newRow("one past column 70") << x.left(66) << QStringList{x.left(66), ""};
        QTest::newRow("space near the end") << a + b << QStringList{a, b};
        QTest::newRow("space far back") << f + b << QStringList{f, b};
        QTest::newRow("no space") << x + x + b << QStringList{x, x, b};
    }
    void rows() {
        QFETCH(QString, name);
        QStringList lines;
        const auto pages = listingPages({{}, {{name, "d"}}}, units(1e9));
        for (const ListingLine& line : pages[0])
            lines << line.name;
        QTEST(lines.mid(4), "lines");
    }

    // The lines on each page of a listing of one row.
    void pages_data() {
        QTest::addColumn<qreal>("height");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("sizes");
        QTest::newRow("one line over") << 49.9 << "f" << QList<int>{4, 1};
        QTest::newRow("name kept with its date") << 50.0 << QString(66, u'g') << QList<int>{4, 2};
        QTest::newRow("row taller than a page")
            << 30.0 << QString(300, u'h') << QList<int>{3, 1, 3, 1};
    }
    void pages() {
        QFETCH(qreal, height);
        QFETCH(QString, name);
        QList<int> sizes;
        for (const ListingPage& page : listingPages({{}, {{name, "d"}}}, units(height)))
            sizes << int(page.size());
        QTEST(sizes, "sizes");
    }
};

QTEST_MAIN(TestListingLayout)
#include "tst_listinglayout.moc"
