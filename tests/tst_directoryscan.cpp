#include "browseaction.h"
#include "confirmedname.h"
#include "directoryscan.h"
#include "fixture.h"

#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

// Stands in for the window: keeps what the directory action showed, the folder first.
struct RecordingView : ScanView {
    void showScan(const QString& dirpath, std::span<const CatalogueRow> files) override {
        shown << dirpath << column(files);
    }
    QStringList shown;
};

class TestDirectoryScan : public QObject {
    Q_OBJECT
private slots:
    // Ordinary files and links to them, each stamped in UTC; a file gone before its time was
    // read keeps none.
    void listsAndStampsOrdinaryFiles() {
        const PhotoFolder photos;
        const QString dir = photos.folder();
        QStringList names;
        for (int i = 1; i <= 1001; ++i)
            photos.add(names.emplace_back(QString::number(i)), i);
        const QDateTime old(QDate(1969, 12, 31), QTime(23, 59, 59), Qt::UTC);
        writeFile(dir + "old", {}, old);
        photos.add(".hidden", 0);
        QCOMPARE(::mkfifo(QFile::encodeName(dir + "fifo").constData(), 0600), 0);
        QVERIFY(QFile::link(dir + "old", dir + "to old") && QFile::link(dir + "d", dir + "to d"));
        QVERIFY(QDir(dir).mkdir("d") && QFile::link(dir + "none", dir + "broken"));
        const QByteArray raw = QFile::encodeName(dir) + "b\xff"; // not UTF-8
        QCOMPARE(::symlink("old", raw.constData()), 0);
        DirectoryListing listing = listOrdinaryFiles(dir);
        QCOMPARE(::unlink(raw.constData()), 0);
        readTimestamps(dir, listing.files);
        const DirectoryScan scan = orderedScan(std::move(listing), QLocale::c());
        QCOMPARE(column(scan.files), (names + QStringList{"b\uFFFD", "old", "to old"}));
        const QString before1970 = "1969-12-31T23:59:59.000Z";
        QCOMPARE(column(scan.files, &CatalogueRow::datum).mid(1000),
                 (QStringList{"2024-03-07T08:21:50.123Z", "", before1970, before1970}));
    }

    void nameOrder_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("listed"); // in the file system's order
        QTest::addColumn<QStringList>("ordered");
        // Names that collate alike (leading zeros, composed and decomposed accents) come in
        // one order, whatever the file system's.
        QTest::newRow("C") << "C" << QStringList{"IMG_10", "é", "b", "IMG_2", "IMG_02", "e\u0301"}
                           << QStringList{"b", "e\u0301", "é", "IMG_02", "IMG_2", "IMG_10"};
        const QStringList czech{"cesta", "Čtvrtek", "Dub",  "hrad", "chata",
                                "Sova",  "Šumava",  "Zima", "Žďár"};
        QTest::newRow("cs_CZ") << "cs_CZ" << QStringList(czech.crbegin(), czech.crend()) << czech;
    }
    void nameOrder() {
        QFETCH(QString, locale);
        QFETCH(QStringList, listed);
        DirectoryListing listing;
        for (const QString& name : listed)
            listing.files.push_back({QFile::encodeName(name), {}});
        QTEST(column(orderedScan(std::move(listing), QLocale(locale)).files), "ordered");
    }

    // The chooser's placeholder is "Select a Directory", stored with a marker.
    void folderFromConfirmedName() {
        QCOMPARE(::folderFromConfirmedName("/Select a Directory.~#~"), "/");
        QCOMPARE(::folderFromConfirmedName("/a/b/a longer name, typed.~#~"), "/a/b/");
    }

    // Cancelling changes nothing. Otherwise the folder and its files are shown, whatever
    // becomes of the catalogue: a folder that cannot be read empties it, and a write that
    // fails, even midway, keeps its old rows and mark.
    void browse_data() {
        QTest::addColumn<QString>("chosen");   // in the temporary folder; none cancels
        QTest::addColumn<bool>("locked");      // another connection holds the write lock
        QTest::addColumn<QString>("readOnly"); // in the temporary folder
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("failures");   // of the listing, then of the write
        QTest::addColumn<QStringList>("catalogued"); // the scan's folder, the names by date
        const QStringList none, files{"photos/", "b2", "b10", "č"}, old{"old/", "old"};
        const QString mdb = "app/temlo_files.mdb";
        const QStringList inUse = failure(Fault::InUse, mdb);
        const QStringList readOnly = failure(Fault::ReadOnly, mdb);
        QTest::newRow("cancelled") << "" << false << "" << none << none << old;
        QTest::newRow("scanned") << "photos/" << false << "" << files << none
                                 << QStringList{"photos/", "č", "b10", "b2"};
        QTest::newRow("in use") << "photos/" << true << "" << files << inUse << old;
        QTest::newRow("read-only") << "photos/" << false << mdb << files << readOnly << old;
        QTest::newRow("in read-only") << "photos/" << false << "app" << files << readOnly << old;
        QTest::newRow("refused") << "refused/" << false << "" << QStringList{"refused/", "x"}
                                 << failure(Fault::DatabaseError, mdb) << old;
        for (const auto& [folder, fault] : {std::pair("gone/", Fault::Missing),
                                            {"photos/b2/", Fault::NotAFolder},
                                            {"locked/", Fault::Denied}})
            QTest::newRow(folder) << folder << false << "" << QStringList{folder}
                                  << failure(fault, folder) << QStringList{folder};
    }
    void browse() {
        QFETCH(QString, chosen);
        QFETCH(QString, readOnly);
        if ((chosen == "locked/" || !readOnly.isEmpty()) && ::geteuid() == 0)
            QSKIP("root ignores permission bits; CI runs this unprivileged");
        const PhotoFolder photos;
        const QString root = photos.root() + u'/';
        photos.add("č", 0);
        photos.add("b10", 60);
        photos.add("b2", 120);
        QVERIFY(QDir(root).mkdir("locked") && QFile::setPermissions(root + "locked", {}));
        QVERIFY(QDir(root).mkdir("refused"));
        writeFile(root + "refused/x", "x", firstShot);
        const Catalogue catalogue(photos.catalogue().path(), 100);
        SQLite::Database other = connection(catalogue);
        other.exec("CREATE TABLE filenametab (filename CHECK (filename <> 'x'), datum)");
        const Result<ScanMark> first = catalogue.replaceAll({{{"old", {}}}}, root + "old/");
        if (QFETCH(bool, locked); locked)
            other.exec("BEGIN IMMEDIATE");
        if (!readOnly.isEmpty())
            QVERIFY(QFile::setPermissions(root + readOnly, QFile::ReadOwner | QFile::ExeOwner));
        StandInChooser chooser(chosen.isEmpty() ? QString() : root + chosen);
        RecordingView view;
        const auto outcome = browseFolder(chooser, photos.appDir(), catalogue, view);
        QCOMPARE(::chmod(QFile::encodeName(root + readOnly).constData(), 0700), 0);
        QCOMPARE(outcome.has_value(), !chosen.isEmpty());
        const BrowseOutcome done = outcome.value_or(BrowseOutcome{{}, {}, first});
        const Result<CatalogueRead> read = catalogue.orderedRead();
        QVERIFY(read.ok() && first.ok());
        const auto inRoot = [&](QStringList paths) { return paths.replaceInStrings(root, ""); };
        QTEST(inRoot(view.shown), "shown");
        QTEST(inRoot(failureOf(done.listed) + failureOf(done.written)), "failures");
        QTEST(inRoot(QStringList{read.value().mark.folder} + column(read.value().rows)),
              "catalogued");
        QCOMPARE(read.value().mark.token, (done.written.ok() ? done.written : first).value().token);
    }
};

QTEST_MAIN(TestDirectoryScan)
#include "tst_directoryscan.moc"
