#include "fixture.h"

#include <QTest>
#include <QThread>
#include <thread>

using Rows = std::vector<CatalogueRow>;

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    // Photographs of one burst share a time and keep the order they were added in.
    void orderedRead() {
        Rows rows{{"new", "2024-02-02T10:00:00.000Z"}};
        for (int i = 0; i < 300; ++i)
            rows.push_back({QString::number(i), QString("2024-01-09T10:00:0%1.000Z").arg(i % 3)});
        rows.push_back({"unknown", {}});
        const PhotoFolder photos;
        QVERIFY(photos.catalogue().replaceAll(rows).ok());
        std::ranges::stable_sort(rows, {}, &CatalogueRow::datum);
        QCOMPARE(catalogued(photos.catalogue()), column(rows));
    }

    // The table as another program made it: what a write may add, and what it must leave. A
    // file is stored under the original name the journal holds for it in that folder.
    void write_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("catalogued");
        QTest::newRow("fields in other case")
            << "CREATE TABLE filenametab (FILENAME, Datum)" << QStringList{"a", "x"};
        QTest::newRow("write refused midway")
            << "CREATE TABLE filenametab (filename CHECK (filename <> 'x'), datum);"
               "INSERT INTO filenametab VALUES ('old', NULL)"
            << QStringList{"old"};
    }
    void write() {
        QFETCH(QString, sql);
        const PhotoFolder photos;
        const Catalogue catalogue = photos.catalogue();
        connection(catalogue).exec(sql.toStdString());
        QVERIFY(
            catalogue.recordRenames("/a/", std::vector<RenamedName>{{"a", "001 - a"}}, {}).ok());
        catalogue.replaceAll(Rows{{"001 - a", {}}, {"x", {}}}, "/a/");
        QTEST(catalogued(catalogue), "catalogued");
    }

    // Another copy writing the catalogue for a moment is waited for.
    void busyCatalogueIsWaitedFor() {
        const PhotoFolder photos;
        auto other = connection(photos.catalogue());
        other.exec("BEGIN IMMEDIATE");
        const std::jthread release([&] {
            QThread::msleep(300);
            other.exec("COMMIT");
        });
        QCOMPARE(failureOf(photos.catalogue().replaceAll(Rows{{"a", {}}})), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
