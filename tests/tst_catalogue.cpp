#include "catalogue.h"
#include "datum.h"
#include "fixture.h"

#include <QFile>
#include <QScopeGuard>
#include <QTest>
#include <SQLiteCpp/SQLiteCpp.h>
#include <algorithm>
#include <unistd.h>

using Rows = std::vector<CatalogueRow>;

namespace {

const QString march = QStringLiteral("2024-03-07T08:05:09.123Z");

void sql(const QString& path, const QString& statements) {
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    db.exec(statements.toStdString());
}

QByteArray bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
}

// The journal's names in a folder as "original > numbered", in name order.
QStringList journal(const Catalogue& catalogue, const QString& folder) {
    QStringList names;
    const Result<std::vector<RenamedName>> journal = catalogue.renamedIn(folder);
    for (const RenamedName& name : journal.value())
        names << name.original + " > " + name.numbered;
    names.sort();
    return names;
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    // A catalogue that cannot be used is reported and never changed; a read creates nothing.
    void unusable_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("statements");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<bool>("preparable");
        const QByteArray text = "filename;datum\na.jpg;2024\n";
        const QString other = "CREATE TABLE other (x)";
        QTest::newRow("no file") << QByteArray() << "" << Fault::Missing << "" << true;
        QTest::newRow("no database")
            << text << "" << Fault::NotADatabase << "file is not a database" << false;
        QTest::newRow("no table") << QByteArray() << other << Fault::TableMissing << "" << true;
        QTest::newRow("no datum") << QByteArray() << "CREATE TABLE filenametab (filename)"
                                  << Fault::FieldMissing << "datum" << false;
        QTest::newRow("no filename") << QByteArray() << "CREATE TABLE filenametab (datum)"
                                     << Fault::FieldMissing << "filename" << false;
        QTest::newRow("other case") << QByteArray() << "CREATE TABLE FileNameTab (FILENAME, x)"
                                    << Fault::FieldMissing << "datum" << false;
    }
    void unusable() {
        QFETCH(QByteArray, file);
        QFETCH(QString, statements);
        QFETCH(Fault, fault);
        QFETCH(bool, preparable);
        const PhotoFolder photos;
        const Catalogue catalogue = photos.catalogue();
        if (!file.isNull())
            writeFile(catalogue.path(), file, firstShot);
        if (!statements.isEmpty())
            sql(catalogue.path(), statements);
        const QByteArray before = bytes(catalogue.path());
        const Result<CatalogueRead> read = catalogue.orderedRead();
        QVERIFY(!read.ok());
        QCOMPARE(read.failure().fault, fault);
        QCOMPARE(read.failure().subject, catalogue.path());
        QTEST(read.failure().detail, "detail");
        QCOMPARE(bytes(catalogue.path()), before);
        QCOMPARE(catalogue.prepare().ok(), preparable);
        if (preparable) {
            QCOMPARE(catalogued(catalogue), QStringList());
            return;
        }
        const Result<ScanMark> written = catalogue.replaceAll(Rows{{"a", march}});
        QVERIFY(!written.ok());
        QCOMPARE(written.failure().fault, fault);
        QCOMPARE(bytes(catalogue.path()), before);
    }

    void writeKeepsOtherTablesAndReadsNullAsEmpty() {
        const PhotoFolder photos;
        const Catalogue catalogue = photos.catalogue();
        sql(catalogue.path(), "CREATE TABLE other (x); INSERT INTO other VALUES (7)");
        QVERIFY(catalogue.replaceAll(Rows{{"a", march}}).ok());
        QCOMPARE(catalogued(catalogue), QStringList{"a"});
        sql(catalogue.path(), "INSERT INTO filenametab VALUES (NULL, NULL); DELETE FROM other");
        const Result<CatalogueRead> read = catalogue.orderedRead();
        QVERIFY(read.ok());
        QCOMPARE(column(read.value().rows, &CatalogueRow::datum), (QStringList{"", march}));
        QCOMPARE(column(read.value().rows), (QStringList{"", "a"}));
    }

    // Either the new rows replace the old ones or the old ones, and their mark, stay whole.
    void failedWriteKeepsRows_data() {
        QTest::addColumn<QString>("statements"); // run before the first write
        QTest::addColumn<bool>("otherWriter");   // another connection holds the write lock
        QTest::addColumn<QString>("readOnly");   // made read-only after the first write
        QTest::addColumn<Fault>("fault");
        const QString refusing =
            "CREATE TABLE filenametab (filename CHECK (filename <> 'x'), datum)";
        QTest::newRow("other writer") << "" << true << "" << Fault::InUse;
        QTest::newRow("row refused") << refusing << false << "" << Fault::DatabaseError;
        QTest::newRow("read-only file") << "" << false << "temlo_files.mdb" << Fault::ReadOnly;
        QTest::newRow("read-only folder") << "" << false << "." << Fault::ReadOnly;
    }
    void failedWriteKeepsRows() {
        QFETCH(QString, statements);
        QFETCH(QString, readOnly);
        QFETCH(bool, otherWriter);
        QFETCH(Fault, fault);
        if (!readOnly.isEmpty() && ::geteuid() == 0)
            QSKIP("root ignores permission bits; CI runs this unprivileged");
        const PhotoFolder photos;
        const Catalogue catalogue(photos.catalogue().path(), 100);
        if (!statements.isEmpty())
            sql(catalogue.path(), statements);
        const Result<ScanMark> first = catalogue.replaceAll(Rows{{"old", march}}, "/f/");
        QVERIFY(first.ok());
        SQLite::Database other(catalogue.path().toStdString(), SQLite::OPEN_READWRITE);
        if (otherWriter)
            other.exec("BEGIN IMMEDIATE");
        const QString locked = photos.appDir() + u'/' + readOnly;
        const QFile::Permissions permissions = QFile::permissions(locked);
        const auto restore = qScopeGuard([&] { QFile::setPermissions(locked, permissions); });
        if (!readOnly.isEmpty())
            QFile::setPermissions(locked, permissions & ~QFile::Permissions(0222));
        const Result<ScanMark> written = catalogue.replaceAll(Rows{{"new", march}, {"x", march}});
        QVERIFY(!written.ok());
        QCOMPARE(written.failure().fault, fault);
        QCOMPARE(written.failure().subject, catalogue.path());
        const Result<CatalogueRead> read = catalogue.orderedRead();
        QVERIFY(read.ok());
        QCOMPARE(column(read.value().rows), QStringList{"old"});
        QCOMPARE(read.value().mark.token, first.value().token);
    }

    void writeReplacesRowsAndMark() {
        const PhotoFolder photos;
        const Catalogue catalogue = photos.catalogue();
        const Result<ScanMark> first = catalogue.replaceAll(Rows{{"a", march}, {"b", march}});
        const Result<ScanMark> second = catalogue.replaceAll(Rows{{"c", march}}, "/f/");
        QVERIFY(first.ok() && second.ok());
        const Result<CatalogueRead> read = catalogue.orderedRead();
        QVERIFY(read.ok());
        QCOMPARE(column(read.value().rows), QStringList{"c"});
        QCOMPARE(read.value().mark.folder, "/f/");
        QCOMPARE(read.value().mark.token, second.value().token);
        QVERIFY(second.value().token != first.value().token);
    }

    // Bursts of photographs share a time and keep the order they were added in.
    void orderedReadIsChronologicalAndStable() {
        Rows rows{{"feb", "2024-02-02T10:00:00.000Z"},
                  {"10th", "2024-01-10T10:00:00.000Z"},
                  {"9th", "2024-01-09T10:00:00.000Z"},
                  {"1969", "1969-12-31T23:59:59.999Z"},
                  {"unknown", ""}};
        for (int i = 0; i < 100000; ++i)
            rows.push_back(
                {QString::number(i), QStringLiteral("2024-05-01T10:00:0%1Z").arg(i % 3)});
        const PhotoFolder photos;
        QVERIFY(photos.catalogue().replaceAll(rows).ok());
        std::ranges::stable_sort(rows, {}, &CatalogueRow::datum);
        QCOMPARE(catalogued(photos.catalogue()), column(rows));
    }

    // A scan stores a file under the original name the journal records for it in that folder.
    void writeStoresOriginalNames_data() {
        QTest::addColumn<QString>("recordedIn");
        QTest::addColumn<QString>("scanned");
        QTest::addColumn<QString>("stored");
        QTest::newRow("same folder") << "/a/b/"
                                     << "/a/b/"
                                     << "x";
        QTest::newRow("scanned without the slash") << "/a/b/"
                                                   << "/a/b"
                                                   << "x";
        QTest::newRow("recorded without the slash") << "/a/b"
                                                    << "/a/b/"
                                                    << "x";
        QTest::newRow("doubled slash") << "/a/b/"
                                       << "/a//b/"
                                       << "x";
        QTest::newRow("other folder") << "/a/b/"
                                      << "/a/c/"
                                      << "001 - x";
    }
    void writeStoresOriginalNames() {
        QFETCH(QString, recordedIn);
        QFETCH(QString, scanned);
        QFETCH(QString, stored);
        const PhotoFolder photos;
        const Catalogue catalogue = photos.catalogue();
        const RenamedName given{"x", "001 - x"};
        QVERIFY(catalogue.recordRenames(recordedIn, {&given, 1}, {}).ok());
        QVERIFY(catalogue.replaceAll(Rows{{"001 - x", march}, {"y", march}}, scanned).ok());
        QCOMPARE(catalogued(catalogue), (QStringList{stored, "y"}));
    }

    void recordRenamesForgetsGoneNames() {
        const PhotoFolder photos;
        const Catalogue catalogue = photos.catalogue();
        const std::vector<RenamedName> first{{"a", "001 - a"}, {"b", "002 - b"}};
        const std::vector<RenamedName> then{{"c", "003 - c"}};
        const QStringList gone{"001 - a"};
        QVERIFY(catalogue.recordRenames("/f/", first, {}).ok());
        QVERIFY(catalogue.recordRenames("/g/", first, {}).ok());
        QVERIFY(catalogue.recordRenames("/f", then, gone).ok());
        QCOMPARE(journal(catalogue, "/f/"), (QStringList{"b > 002 - b", "c > 003 - c"}));
        QCOMPARE(journal(catalogue, "/g"), (QStringList{"a > 001 - a", "b > 002 - b"}));
    }

    // Under TZ=Europe/Prague.
    void storedDatum_data() {
        QTest::addColumn<QDateTime>("modified");
        QTest::addColumn<QString>("stored");
        const auto local = [](int y, int m, int d, QTime t) {
            return QDateTime(QDate(y, m, d), t);
        };
        QTest::newRow("winter") << local(2024, 3, 7, QTime(15, 5, 9, 123))
                                << "2024-03-07T14:05:09.123Z";
        QTest::newRow("1 am") << local(2024, 3, 7, QTime(1, 0)) << "2024-03-07T00:00:00.000Z";
        QTest::newRow("summer") << local(2024, 7, 1, QTime(0, 0)) << "2024-06-30T22:00:00.000Z";
        QTest::newRow("leap day") << local(2024, 2, 29, QTime(23, 30))
                                  << "2024-02-29T22:30:00.000Z";
        QTest::newRow("before 1970")
            << local(1970, 1, 1, QTime(0, 59, 59, 999)) << "1969-12-31T23:59:59.999Z";
        QTest::newRow("1900") << QDateTime(QDate(1900, 3, 1), QTime(12, 0), Qt::UTC)
                              << "1900-03-01T12:00:00.000Z";
        QTest::newRow("unknown") << QDateTime() << "";
    }
    void storedDatum() {
        QFETCH(QDateTime, modified);
        QFETCH(QString, stored);
        QCOMPARE(::storedDatum(modified), stored);
        QCOMPARE(datumTime(stored), modified);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
