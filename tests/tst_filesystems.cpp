#include "browseaction.h"
#include "fixture.h"
#include "noreplace.h"
#include "renamer.h"
#include "sortaction.h"

#include <QStorageInfo>
#include <QTest>
#include <sys/time.h>

Q_DECLARE_METATYPE(RenamePath)
using enum RenameChoice;
using enum RenamePath;

// The mounts of scripts/mount-test-filesystems.
const QString mounts = qEnvironmentVariable("TEMLO_TEST_MOUNTS", "/mnt/temlo-fs") + u'/';
// In whole minutes: FAT keeps even seconds.
const qint64 shot = firstShot.toSecsSinceEpoch() / 60;

// Whether `place` can be tested: a missing FUSE mount skips the row, or fails it where
// TEMLO_REQUIRE_MOUNTS=1 (as in CI).
static bool mounted(const QString& place) {
    if (!place.startsWith(mounts) || QStorageInfo(place).fileSystemType().startsWith("fuse"))
        return true;
    (qgetenv("TEMLO_REQUIRE_MOUNTS") == "1" ? QTest::qFail : QTest::qSkip)(
        "see scripts/mount-test-filesystems", __FILE__, __LINE__);
    return false;
}

// A folder of its own on `place`, or `place` itself where none can be made (the read-only
// mount, which holds two files), and the window's part in each start of the program.
struct Folder : ScanView, SortView {
    Folder(const QString& place)
        : own(place + "/temlo-XXXXXX"), folder((own.isValid() ? own.path() : place) + u'/') {}

    // Empty files, taken the minutes after the shot their place in "yzabc" says. Both times
    // are set: FUSE's high-level library (fusefat, bindfs) ignores a change of the
    // modification time alone.
    void add(const QString& names) {
        for (const auto name : names) {
            writeFile(folder + name, {}, firstShot);
            const time_t time = 60 * (shot + QString("yzabc").indexOf(name));
            const timeval times[2]{{time, 0}, {time, 0}};
            QCOMPARE(::utimes(qPrintable(folder + name), times), 0);
        }
    }

    // A start of the program that scans the folder, then sorts it answering `choice`, broken
    // off after `calls` system calls of renaming (none: not broken off).
    void run(RenameChoice choice, int calls = -1) {
        const auto scanned = browseFolder(chooser, {}, app.catalogue(), *this);
        QVERIFY(scanned && scanned->written.ok());
        answer = choice;
        limitRenamingCalls(calls);
        const auto sorted = sortCatalogue(app.catalogue(), scanned->written.value(), " - ", *this);
        QVERIFY(sorted.ok());
        outcome = sorted.value();
    }
    void showScan(const QString&, std::span<const CatalogueRow>) override {}
    void showNumbered(const QStringList&) override {}
    RenameChoice ask(const RenameOffer&) override { return answer; }

    // Every file as "name@minutes", which tell whose photograph it is.
    QStringList disk() const {
        QStringList files;
        for (const auto& file : QDir(folder).entryInfoList(QDir::Files, QDir::Name))
            files << file.fileName() + u'@' +
                         QString::number(file.lastModified().toSecsSinceEpoch() / 60 - shot);
        return files;
    }

    QTemporaryDir own;
    QString folder;
    StandInChooser chooser{folder};
    PhotoFolder app;
    RenameChoice answer{};
    SortOutcome outcome;
};

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
        // The calls before the crash, after a rename, look or link.
        QTest::addColumn<int>("calls");
        QTest::addColumn<RenamePath>("path");
        QTest::newRow("tmp") << "/tmp" << -1 << NoReplace;
        QTest::newRow("tmp, crash") << "/tmp" << 1 << NoReplace;
        QTest::newRow("FAT32") << mounts + "fat32" << 8 << CheckThenRename;
        QTest::newRow("exFAT") << mounts + "exfat" << 8 << CheckThenRename;
        QTest::newRow("NTFS") << mounts + "ntfs" << 4 << LinkThenUnlink;
        QTest::newRow("bindfs") << mounts + "bindfs" << 4 << LinkThenUnlink;
    }
    void renaming() {
        QFETCH(QString, place);
        QFETCH(int, calls);
        if (!mounted(place))
            return;
        Folder photos(place);
        photos.add("abc");
        photos.run(Rename);
        photos.add("yz");
        photos.run(Rename, calls);
        photos.run(Rename);
        QCOMPARE(photos.disk(),
                 QStringList({"001 - y@0", "002 - z@1", "003 - a@2", "004 - b@3", "005 - c@4"}));
        photos.run(Undo);
        QCOMPARE(photos.disk(), QStringList({"a@2", "b@3", "c@4", "y@0", "z@1"}));
        const std::vector<RenameStep> taken{{"y", "y", "x"}, {"a", "a", "b"}, {"a", "a", "B"}};
        const auto outcome = renameFiles(photos.folder, taken);
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
        QCOMPARE(photos.outcome.refused.value_or(Failure{}).fault, Fault::ReadOnly);
    }
};

QTEST_GUILESS_MAIN(TestFileSystems)
#include "tst_filesystems.moc"
