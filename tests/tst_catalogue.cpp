#include "datum.h"
#include "fixture.h"

#include <QTest>

using Rows = std::vector<CatalogueRow>;

static QByteArray bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "(no file)";
}

// How the catalogue fails, when it writes through a busy or read-only file and what it then
// keeps, is in tst_directoryscan's browse table, the way the directory action meets it.
class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    // A read creates nothing; a write creates the file, or the table beside others.
    void writeCreatesWhatIsMissing() {
        const PhotoFolder photos;
        const Catalogue catalogue = photos.catalogue();
        QCOMPARE(failureOf(catalogue.orderedRead()), failure(Fault::Missing, catalogue.path()));
        QVERIFY(catalogue.prepare().ok());
        connection(catalogue).exec("DROP TABLE filenametab; CREATE TABLE t (x)");
        QCOMPARE(failureOf(catalogue.orderedRead()),
                 failure(Fault::TableMissing, catalogue.path()));
        QVERIFY(catalogue.replaceAll(Rows{{"a", {}}}).ok());
        connection(catalogue).exec("INSERT INTO filenametab VALUES (NULL, 'b'); DELETE FROM t");
        QCOMPARE(catalogued(catalogue), (QStringList{"a", ""})); // NULL reads as empty
    }

    // Reported naming the file, which stays as it is, on reading and on writing.
    void unusable_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("detail");
        QTest::newRow("not a database")
            << QByteArray("a;b\n") << "" << Fault::NotADatabase << "file is not a database";
        QTest::newRow("no datum") << QByteArray() << "CREATE TABLE filenametab (filename)"
                                  << Fault::FieldMissing << "datum";
        QTest::newRow("other case") << QByteArray() << "CREATE TABLE FileNameTab (FILENAME, x)"
                                    << Fault::FieldMissing << "datum";
    }
    void unusable() {
        QFETCH(QByteArray, file);
        QFETCH(QString, sql);
        QFETCH(Fault, fault);
        const PhotoFolder photos;
        const Catalogue catalogue = photos.catalogue();
        writeFile(catalogue.path(), file, firstShot); // SQLite takes an empty file for a database
        connection(catalogue).exec(sql.toStdString());
        const QByteArray before = bytes(catalogue.path());
        const Result<CatalogueRead> read = catalogue.orderedRead();
        QCOMPARE(failureOf(read), failure(fault, catalogue.path()));
        QTEST(read.failure().detail, "detail");
        QCOMPARE(failureOf(catalogue.prepare()), failure(fault, catalogue.path()));
        QCOMPARE(failureOf(catalogue.replaceAll(Rows(1))), failure(fault, catalogue.path()));
        QCOMPARE(bytes(catalogue.path()), before);
    }

    // Bursts of photographs share a time and keep the order they were added in.
    void orderedReadIsChronologicalAndStable() {
        Rows rows; // named by their datum, then 100,000 in three bursts
        for (const char* datum : {"2024-02-02T10:00:00.000Z", "2024-01-10T10:00:00.000Z",
                                  "2024-01-09T09:00:00.000Z", "1969-12-31T23:59:59.999Z", ""})
            rows.push_back({datum, datum});
        for (int i = 0; i < 100000; ++i)
            rows.push_back({QString::number(i), QString("2024-01-09T10:00:0%1.000Z").arg(i % 3)});
        const PhotoFolder photos;
        QVERIFY(photos.catalogue().replaceAll(rows).ok());
        std::ranges::stable_sort(rows, {}, &CatalogueRow::datum);
        QCOMPARE(catalogued(photos.catalogue()), column(rows));
    }

    // A scan stores a file under the original name the journal holds for it in that folder,
    // however the folder is written; names gone from the journal stay as they are.
    void writeStoresOriginalNames_data() {
        QTest::addColumn<QString>("recordedIn");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("scanned");
        const QStringList originals{"001 - a", "b", "c"};
        QTest::newRow("same folder") << "/a/b/" << originals << "/a/b/";
        QTest::newRow("written otherwise") << "/a//b" << originals << "/a/b/";
        QTest::newRow("other folder") << "/a/b/" << QStringList{"a", "b", "003 - c"} << "/a/c/";
    }
    void writeStoresOriginalNames() {
        QFETCH(QString, recordedIn);
        QFETCH(QString, scanned);
        const PhotoFolder photos;
        const Catalogue catalogue = photos.catalogue();
        const std::vector<RenamedName> given{{"a", "001 - a"}, {"b", "002 - b"}};
        const std::vector<RenamedName> more{{"c", "003 - c"}};
        QVERIFY(catalogue.recordRenames("/a/c", given, {}).ok());
        QVERIFY(catalogue.recordRenames(recordedIn, given, {}).ok());
        QVERIFY(catalogue.recordRenames(recordedIn, more, QStringList{"001 - a"}).ok());
        const Result<ScanMark> first = catalogue.replaceAll(Rows{{"z", {}}}, scanned);
        const Rows rows{{"001 - a", {}}, {"002 - b", {}}, {"003 - c", {}}};
        const Result<ScanMark> second = catalogue.replaceAll(rows, scanned);
        QTEST(catalogued(catalogue), "stored");
        QVERIFY(first.ok() && second.ok() && first.value().token != second.value().token);
    }

    // A local time (TZ=Europe/Prague) and its stored form.
    void storedDatum_data() {
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("stored");
        QTest::newRow("winter") << "2024-03-07T15:05:09.123" << QString("2024-03-07T14:05:09.123Z");
        QTest::newRow("summer") << "2024-07-01T00:00:00.000" << QString("2024-06-30T22:00:00.000Z");
        QTest::newRow("1969") << "1970-01-01T00:59:59.999" << QString("1969-12-31T23:59:59.999Z");
        QTest::newRow("unknown") << "" << QString();
    }
    void storedDatum() {
        QFETCH(QString, local);
        const QDateTime time = QDateTime::fromString(local, Qt::ISODateWithMs);
        QTEST(::storedDatum(time), "stored");
        QCOMPARE(datumTime(::storedDatum(time)), time);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
