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

namespace {

// The mounts of scripts/mount-test-filesystems.
const QString mounts = qEnvironmentVariable("TEMLO_TEST_MOUNTS", "/mnt/temlo-fs") + u'/';
// On a whole minute: FAT keeps even seconds.
const qint64 shot = firstShot.toSecsSinceEpoch() / 60 * 60;
// When the photographs were taken, in minutes after the first shot; others at the first shot.
const QHash<QString, qint64> minutes{{"a", 10}, {"b", 20}, {"c", 30}, {"y", 1}, {"z", 2}};

// Whether `place` can be tested: a missing FUSE mount skips the row, or fails it where
// TEMLO_REQUIRE_MOUNTS=1 (as in CI).
bool mounted(const QString& place) {
    if (!place.startsWith(mounts) || QStorageInfo(place).fileSystemType().startsWith("fuse"))
        return true;
    const QString why = place + " is not mounted: run scripts/mount-test-filesystems as root";
    if (qgetenv("TEMLO_REQUIRE_MOUNTS") == "1")
        QTest::qFail(qPrintable(why), __FILE__, __LINE__);
    else
        QTest::qSkip(qPrintable(why), __FILE__, __LINE__);
    return false;
}

// A folder of its own on `place`, or `place` itself where none can be made (the read-only
// mount, which holds two files), and the window's part in each start of the program.
struct Folder : FolderChooser, ScanView, SortView {
    explicit Folder(const QString& place)
        : own(place + "/temlo-test-XXXXXX"), folder((own.isValid() ? own.path() : place) + u'/') {}

    // Files holding their names. Both times are set: FUSE's high-level library (fusefat,
    // bindfs) ignores a change of the modification time alone, as writeFile() makes.
    void add(const QStringList& names) {
        for (const QString& name : names) {
            writeFile(folder + name, name.toUtf8(), firstShot);
            const timespec time{shot + 60 * minutes.value(name), 0};
            const timespec times[2] = {time, time};
            QCOMPARE(::utimensat(AT_FDCWD, qPrintable(folder + name), times, 0), 0);
        }
    }

    // A start of the program that scans the folder, then sorts it answering `choice`.
    void run(RenameChoice choice) {
        const Catalogue catalogue(app.filePath("temlo_files.mdb"));
        const auto scanned = browseFolder(*this, {}, catalogue, *this);
        QVERIFY(scanned && scanned->written.ok());
        answer = choice;
        const auto sorted = sortCatalogue(catalogue, scanned->written.value(), " - ", *this);
        QVERIFY(sorted.ok());
        outcome = sorted.value();
    }
    std::optional<QString> confirmedName(const QString&) override { return folder + "x"; }
    void showScan(const QString&, std::span<const CatalogueRow>) override {}
    void showNumbered(const QStringList& names) override { shown = names; }
    RenameChoice ask(const RenameOffer&) override { return answer; }

    // Every file as "name=content@minutes".
    QStringList disk() const {
        QStringList files;
        for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
            QFile read(file.filePath());
            files << file.fileName() + u'=' +
                         (read.open(QIODevice::ReadOnly) ? read.readAll() : "") + u'@' +
                         QString::number((file.lastModified().toSecsSinceEpoch() - shot) / 60);
        }
        return files;
    }

    QTemporaryDir own;
    QString folder;
    QTemporaryDir app;
    RenameChoice answer{};
    // The numbered names of the last start.
    QStringList shown;
    SortOutcome outcome;
};

// As Folder::disk() shows the files of these names, each holding its original.
QStringList held(const QStringList& names) {
    QStringList files;
    for (const QString& name : names)
        files << name + u'=' + name.right(1) + u'@' + QString::number(minutes[name.right(1)]);
    return files;
}

} // namespace

// Renaming on the file systems photographs are kept on, each mounted for real.
class TestFileSystems : public QObject {
    Q_OBJECT
private slots:
    // A numbered folder gets two older photographs and is numbered anew, broken off after
    // `calls` system calls. The program's next start lists each file once and numbers them
    // all; then every original name is given back, contents and times kept. Then a taken name
    // is refused on the strongest way there, also in another case where the file system
    // ignores case. FAT refuses links with EPERM: no file is denied for that.
    void renaming_data() {
        QTest::addColumn<QString>("place");
        // The calls the renumbering makes before it crashes; none: no crash.
        QTest::addColumn<int>("calls");
        QTest::addColumn<RenamePath>("path");
        QTest::addColumn<bool>("ignoresCase");
        using enum RenamePath;
        QTest::newRow("tmp") << QDir::tempPath() << -1 << NoReplace << false;
        QTest::newRow("tmp, after a rename") << QDir::tempPath() << 1 << NoReplace << false;
        QTest::newRow("FAT32, after a look") << mounts + "fat32" << 8 << CheckThenRename << true;
        QTest::newRow("exFAT, after a look") << mounts + "exfat" << 8 << CheckThenRename << true;
        QTest::newRow("NTFS, after a link") << mounts + "ntfs" << 4 << LinkThenUnlink << false;
        QTest::newRow("bindfs, after a link") << mounts + "bindfs" << 4 << LinkThenUnlink << false;
    }
    void renaming() {
        QFETCH(QString, place);
        QFETCH(int, calls);
        QFETCH(bool, ignoresCase);
        if (!mounted(place))
            return;
        Folder photos(place);
        photos.add({"a", "b", "c"});
        photos.run(Rename);
        QCOMPARE(photos.disk(), held({"001 - a", "002 - b", "003 - c"}));
        photos.add({"y", "z"});
        limitRenamingCalls(calls);
        photos.run(Rename);
        limitRenamingCalls(-1);
        photos.run(Rename);
        const QStringList renumbered{"001 - y", "002 - z", "003 - a", "004 - b", "005 - c"};
        QCOMPARE(photos.shown, renumbered);
        QCOMPARE(photos.disk(), held(renumbered));
        photos.run(Undo);
        QCOMPARE(photos.disk(), held({"a", "b", "c", "y", "z"}));
        const std::vector<RenameStep> taken{{"y", "y", "x"}, {"a", "a", "b"}, {"a", "a", "B"}};
        const RenameOutcome outcome = renameFiles(photos.folder, taken);
        QTEST(outcome.path, "path");
        QCOMPARE(failureTexts(outcome.problems), QStringList(ignoresCase ? 2 : 1, "a: Exists"));
        const QStringList kept{ignoresCase ? "a=a@10" : "B=a@10", "b=b@20", "c=c@30", "x=y@1",
                               "z=z@2"};
        QCOMPARE(photos.disk(), kept);
    }

    // A folder on the read-only mount is refused before any question (which would be answered).
    void readOnlyMountIsRefused() {
        if (!mounted(mounts + "readonly"))
            return;
        Folder photos(mounts + "readonly");
        photos.run(Rename);
        QCOMPARE(photos.outcome.done, Keep);
        QCOMPARE(photos.outcome.refused.value_or(Failure{}).fault, Fault::ReadOnly);
    }
};

QTEST_GUILESS_MAIN(TestFileSystems)
#include "tst_filesystems.moc"
