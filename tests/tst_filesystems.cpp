#include "browseaction.h"
#include "fixture.h"
#include "noreplace.h"
#include "renamer.h"
#include "sortaction.h"

#include <QStorageInfo>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>

Q_DECLARE_METATYPE(RenamePath)
using enum RenameChoice;
using enum RenamePath;

namespace {

// The mounts of scripts/mount-test-filesystems.
const QString mounts = qEnvironmentVariable("TEMLO_TEST_MOUNTS", "/mnt/temlo-fs") + u'/';
// On a whole minute: FAT keeps even seconds.
const qint64 shot = firstShot.toSecsSinceEpoch() / 60 * 60;

// When the photograph a name ends in was taken, in minutes after the shot: y and z are older.
int minute(const QString& name) {
    return QStringLiteral("yzabc").indexOf(name.right(1));
}

// Whether `place` can be tested: a missing FUSE mount skips the row, or fails it where
// TEMLO_REQUIRE_MOUNTS=1 (as in CI).
bool mounted(const QString& place) {
    if (!place.startsWith(mounts) || QStorageInfo(place).fileSystemType().startsWith("fuse"))
        return true;
    const QByteArray why = place.toUtf8() + " is not mounted: run scripts/mount-test-filesystems";
    if (qgetenv("TEMLO_REQUIRE_MOUNTS") == "1")
        QTest::qFail(why, __FILE__, __LINE__);
    else
        QTest::qSkip(why, __FILE__, __LINE__);
    return false;
}

// A folder of its own on `place`, or `place` itself where none can be made (the read-only
// mount, which holds two files), and the window's part in each start of the program.
struct Folder : ScanView, SortView {
    explicit Folder(const QString& place)
        : own(place + "/temlo-test-XXXXXX"), folder((own.isValid() ? own.path() : place) + u'/') {}

    // Both times are set: FUSE's high-level library (fusefat, bindfs) ignores a change of the
    // modification time alone, as writeFile() makes.
    void add(const QStringList& names) {
        for (const QString& name : names) {
            writeFile(folder + name, {}, firstShot);
            const timespec time{shot + 60 * minute(name), 0}, times[2]{time, time};
            QCOMPARE(::utimensat(AT_FDCWD, qPrintable(folder + name), times, 0), 0);
        }
    }

    // A start of the program that scans the folder, then sorts it answering `choice`, broken
    // off after `calls` system calls of renaming.
    void run(RenameChoice choice, int calls = -1) {
        const Catalogue catalogue = app.catalogue();
        const auto scanned = browseFolder(chooser, {}, catalogue, *this);
        QVERIFY(scanned && scanned->written.ok());
        answer = choice;
        limitRenamingCalls(calls);
        const auto sorted = sortCatalogue(catalogue, scanned->written.value(), " - ", *this);
        limitRenamingCalls(-1);
        QVERIFY(sorted.ok());
        refused = sorted.value().refused;
    }
    void showScan(const QString&, std::span<const CatalogueRow>) override {}
    void showNumbered(const QStringList& names) override { shown = names; }
    RenameChoice ask(const RenameOffer&) override { return answer; }

    // Every file as "name@minutes", which tell whose photograph it is.
    QStringList disk() const {
        QStringList files;
        for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files, QDir::Name))
            files << file.fileName() + u'@' +
                         QString::number((file.lastModified().toSecsSinceEpoch() - shot) / 60);
        return files;
    }

    QTemporaryDir own;
    QString folder;
    StandInChooser chooser{folder};
    PhotoFolder app;
    RenameChoice answer{};
    QStringList shown; // by the last start
    std::optional<Failure> refused;
};

// As Folder::disk() shows files of these names, each holding its original.
QStringList held(const QStringList& names) {
    QStringList files;
    for (const QString& name : names)
        files << name + u'@' + QString::number(minute(name));
    return files;
}

} // namespace

// Renaming on the file systems photographs are kept on, each mounted for real.
class TestFileSystems : public QObject {
    Q_OBJECT
private slots:
    // A numbered folder gets two older photographs and is numbered anew, broken off after
    // `calls` system calls. The program's next start lists each file once and numbers them
    // all; then every original name is given back, times kept. Then a taken name is refused
    // on the strongest way there, also in another case on FAT, which ignores case. FAT
    // refuses links with EPERM: no file is denied for that.
    void renaming_data() {
        QTest::addColumn<QString>("place");
        QTest::addColumn<int>("calls"); // none: no crash
        QTest::addColumn<RenamePath>("path");
        QTest::newRow("tmp") << QDir::tempPath() << -1 << NoReplace;
        QTest::newRow("tmp, after a rename") << QDir::tempPath() << 1 << NoReplace;
        QTest::newRow("FAT32, after a look") << mounts + "fat32" << 8 << CheckThenRename;
        QTest::newRow("exFAT, after a look") << mounts + "exfat" << 8 << CheckThenRename;
        QTest::newRow("NTFS, after a link") << mounts + "ntfs" << 4 << LinkThenUnlink;
        QTest::newRow("bindfs, after a link") << mounts + "bindfs" << 4 << LinkThenUnlink;
    }
    void renaming() {
        QFETCH(QString, place);
        QFETCH(int, calls);
        if (!mounted(place))
            return;
        Folder photos(place);
        photos.add({"a", "b", "c"});
        photos.run(Rename);
        photos.add({"y", "z"});
        photos.run(Rename, calls);
        photos.run(Rename);
        const QStringList renumbered{"001 - y", "002 - z", "003 - a", "004 - b", "005 - c"};
        QCOMPARE(photos.shown, renumbered);
        QCOMPARE(photos.disk(), held(renumbered));
        photos.run(Undo);
        QCOMPARE(photos.disk(), held({"a", "b", "c", "y", "z"}));
        const std::vector<RenameStep> taken{{"y", "y", "x"}, {"a", "a", "b"}, {"a", "a", "B"}};
        const RenameOutcome outcome = renameFiles(photos.folder, taken);
        QTEST(outcome.path, "path");
        const bool fat = outcome.path == CheckThenRename;
        QCOMPARE(failureTexts(outcome.problems), QStringList(fat ? 2 : 1, "a: Exists"));
        QCOMPARE(photos.disk(), QStringList({fat ? "a@2" : "B@2", "b@3", "c@4", "x@0", "z@1"}));
    }

    // A folder on the read-only mount is refused before any question (which would be answered).
    void readOnlyMountIsRefused() {
        if (!mounted(mounts + "readonly"))
            return;
        Folder photos(mounts + "readonly");
        photos.run(Rename);
        QCOMPARE(photos.refused.value_or(Failure{}).fault, Fault::ReadOnly);
    }
};

QTEST_GUILESS_MAIN(TestFileSystems)
#include "tst_filesystems.moc"
