#include "doublenames.h"
#include "fixture.h"
#include "mainwindow.h"
#include "noreplace.h"
#include "numberedlist.h"
#include "renamer.h"
#include "statuslabel.h"

#include <QCryptographicHash>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

Q_DECLARE_METATYPE(RenamePath)

namespace {

constexpr long fuseMagic = 0x65735546;
constexpr long tmpfsMagic = 0x01021994;
const QDateTime firstTime(QDate(2024, 3, 7), QTime(8, 5, 10), Qt::UTC);

// Where a test makes a folder of its own: the temporary folder, /dev/shm, or one of the FUSE
// mounts of scripts/mount-test-filesystems.
QString placeOf(const QString& fileSystem) {
    if (fileSystem == u"local")
        return QDir::tempPath();
    if (fileSystem == u"tmpfs")
        return QStringLiteral("/dev/shm");
    return qEnvironmentVariable("TEMLO_TEST_MOUNTS", QStringLiteral("/mnt/temlo-fs")) + u'/' +
           fileSystem;
}

// Why `fileSystem` cannot be tested here; empty when it can.
QString missing(const QString& fileSystem) {
    const QString place = placeOf(fileSystem);
    struct statfs mounted {};
    if (::statfs(QFile::encodeName(place).constData(), &mounted) != 0)
        return place + QStringLiteral(" is missing");
    const long expected = fileSystem == u"local"   ? mounted.f_type
                          : fileSystem == u"tmpfs" ? tmpfsMagic
                                                   : fuseMagic;
    if (mounted.f_type != expected)
        return place + QStringLiteral(" is not a mounted ") + fileSystem;
    return {};
}

// Skips where the file system is missing, or fails where TEMLO_REQUIRE_MOUNTS=1 (as in CI).
#define REQUIRE_FILE_SYSTEM(fileSystem)                                                            \
    if (const QString why = missing(fileSystem); !why.isEmpty()) {                                 \
        if (qEnvironmentVariable("TEMLO_REQUIRE_MOUNTS") == QLatin1String("1"))                    \
            QFAIL(qPrintable(why));                                                                \
        QSKIP(qPrintable(why + QStringLiteral(" (run scripts/mount-test-filesystems as root)")));  \
    }

QByteArray hashOf(const QByteArray& content) {
    return QCryptographicHash::hash(content, QCryptographicHash::Sha1).toHex().left(12);
}

// A folder of the test's own on one file system (or a given one), its catalogue in a
// temporary folder, and the window over both; reopen() stands for the program's next start.
class MountedFolder {
public:
    explicit MountedFolder(const QString& place, bool own = true)
        : m_own(place + QStringLiteral("/temlo-test-XXXXXX")),
          m_folder((own ? m_own.path() : place) + u'/') {
        reopen();
    }

    const QString& folder() const { return m_folder; }
    MainWindow& window() { return *m_window; }
    QStringList messages() {
        return std::exchange(m_answerer.texts, {}).replaceInStrings(m_folder, "%F");
    }

    // A file of its own content, stamped `minutes` after the first.
    void add(const QString& name, int minutes) {
        QByteArray content(1000 + QRandomGenerator::global()->bounded(3000), Qt::Uninitialized);
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(content.data()),
                                              content.size() / 4);
        m_hashes.insert(name, hashOf(content));
        m_minutes.insert(name, minutes);
        QFile file(m_folder + name);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        // Both times: FUSE's high-level library ignores a change of the modification time alone
        // (QFile::setFileTime), and fusefat and bindfs use it.
        const timespec time{firstTime.addSecs(60 * minutes).toSecsSinceEpoch(), 0};
        const timespec times[2] = {time, time};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(file.fileName()).constData(), times, 0),
                 0);
    }

    void reopen() {
        m_window = std::make_unique<MainWindow>(m_app.path());
        m_window->setFolderChooser(StandInChooser::confirming(m_folder.chopped(1)));
    }

    void browse() {
        QTest::mouseClick(m_window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    }

    // Presses "seřaď", answers the question with `answer` and returns the status line.
    QString sort(const QString& answer) {
        m_answerer.answer(answer);
        QTest::mouseClick(m_window->findChild<QPushButton*>("Command2"), Qt::LeftButton);
        return m_window->findChild<StatusLabel*>()->text();
    }

    // Every file as "name = hash of its content", in name order.
    QStringList disk() const {
        QStringList files;
        for (const QFileInfo& file : QDir(m_folder).entryInfoList(QDir::Files)) {
            QFile read(file.filePath());
            files << file.fileName() + " = " +
                         (read.open(QIODevice::ReadOnly) ? hashOf(read.readAll()) : "unread");
        }
        files.sort();
        return files;
    }

    // As disk() shows the file `name` holding what add() wrote as `original` (by default the
    // name without its number).
    QString held(const QString& name, const QString& original = {}) const {
        return name + " = " +
               m_hashes.value(original.isEmpty() ? name.section(QStringLiteral(" - "), -1)
                                                 : original);
    }
    QStringList held(const QStringList& names) const {
        QStringList files;
        for (const QString& name : names)
            files << held(name);
        files.sort();
        return files;
    }

    // Every file as "name @ minutes after the first file's time", in name order.
    QStringList dates() const {
        QStringList files;
        for (const QFileInfo& file : QDir(m_folder).entryInfoList(QDir::Files))
            files << file.fileName() + " @ " +
                         QString::number(firstTime.secsTo(file.lastModified()) / 60.0);
        files.sort();
        return files;
    }

    // As dates() shows the files of these names, stamped as add() stamped their originals.
    QStringList stamped(const QStringList& names) const {
        QStringList files;
        for (const QString& name : names)
            files << name + " @ " +
                         QString::number(m_minutes.value(name.section(QStringLiteral(" - "), -1)));
        files.sort();
        return files;
    }

    // The names the list box shows after a scan (its first line is the folder).
    QStringList listed() const {
        QStringList lines = m_window->state().listtext.split(u'\r', Qt::SkipEmptyParts).mid(1);
        lines.sort();
        return lines;
    }

private:
    QTemporaryDir m_app;
    QTemporaryDir m_own;
    QString m_folder;
    std::unique_ptr<MainWindow> m_window;
    ModalAnswerer m_answerer;
    QHash<QString, QByteArray> m_hashes; // by original name
    QHash<QString, int> m_minutes;
};

const QStringList numbered{"001 - a.jpg", "002 - b.jpg", "003 - c.jpg"};
const QStringList renumbered{"001 - y.jpg", "002 - z.jpg", "003 - a.jpg", "004 - b.jpg",
                             "005 - c.jpg"};
const QStringList originals{"a.jpg", "b.jpg", "c.jpg", "y.jpg", "z.jpg"};

// The originals numbered in date order, `newest` (if any) moved to the end.
QStringList numberedInDateOrder(const QString& newest) {
    QStringList order{"y.jpg", "z.jpg", "a.jpg", "b.jpg", "c.jpg"};
    if (order.removeOne(newest))
        order << newest;
    for (qsizetype i = 0; i < order.size(); ++i)
        order[i] = QStringLiteral("%1 - ").arg(i + 1, 3, 10, QChar(u'0')) + order[i];
    return order;
}

// The names, or the contents, of files as MountedFolder::disk() shows them, in order.
QStringList part(const QStringList& files, int section) {
    QStringList parts;
    for (const QString& file : files)
        parts << file.section(QStringLiteral(" = "), section, section);
    parts.sort();
    return parts;
}

// A folder numbered once, with two older photographs added and scanned since.
void numberedThenTwoAdded(MountedFolder& photos) {
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        photos.add(name, 10 * (name[0] - 'a' + 1));
    photos.browse();
    QCOMPARE(photos.sort("Přejmenovat"), "HOTOVO - přejmenováno");
    QCOMPARE(photos.disk(), photos.held(numbered));
    photos.add("y.jpg", 1);
    photos.add("z.jpg", 2);
    photos.browse();
}

// The steps of the window's renaming broken off as a crash would: the journal written, then
// only `calls` system calls of the renames made, and nothing recorded after them.
void crashWhileRenaming(const MainWindow& window, const QString& folder, int calls) {
    const Catalogue& catalogue = window.catalogue();
    const std::vector<CatalogueRow> rows = catalogue.orderedRead().value().rows;
    const RenamePlan plan =
        planRenames(folder, rows, numberedNames(rows, " - "), catalogue.renamedIn(folder).value());
    catalogue.recordRenames(folder, namesGiven(plan.steps), plan.gone);
    limitRenamingCalls(calls);
    renameFiles(folder, plan.steps);
    limitRenamingCalls(-1);
}

struct FileSystem {
    const char* tag;
    const char* name; // for placeOf()
    RenamePath path;  // the way its folders take
};

const FileSystem fileSystems[] = {
    {"temporary folder", "local", RenamePath::NoReplace},
    {"tmpfs", "tmpfs", RenamePath::NoReplace},
    {"FAT32 (fusefat)", "fat32", RenamePath::CheckThenRename},
    {"exFAT (exfat-fuse)", "exfat", RenamePath::CheckThenRename},
    {"NTFS (ntfs-3g)", "ntfs", RenamePath::LinkThenUnlink},
    {"bindfs", "bindfs", RenamePath::LinkThenUnlink},
};

void addFileSystemRows() {
    QTest::addColumn<QString>("fileSystem");
    QTest::addColumn<RenamePath>("path");
    for (const FileSystem& fileSystem : fileSystems)
        QTest::newRow(fileSystem.tag) << fileSystem.name << fileSystem.path;
}

// The system calls renaming `files` makes on `path`: the first file's finding the way (one
// no-replace rename, then a link), then per file the rename; the link and the unlink; or the
// looks at the file and at its new name, the rename and the giving back of its time.
int callsOf(RenamePath path, int files) {
    return path == RenamePath::NoReplace        ? files
           : path == RenamePath::LinkThenUnlink ? 1 + 2 * files
                                                : 2 + 4 * files;
}

// fusefat stamps a renamed file with the present time, and the program gives the file back its
// own right after the rename. A crash in between leaves that one file the newest: the file of
// the renumbering's step (they run y, z, a, b, c) whose rename was the last call.
QString restamped(const QString& fileSystem, int calls) {
    const int step = (calls - 2) / 4;
    if (fileSystem != u"fat32" || calls < 2 || (calls - 2) % 4 != 3)
        return {};
    return QStringList{"y.jpg", "z.jpg", "a.jpg", "b.jpg", "c.jpg"}.value(step);
}

QString report(const QString& groups) {
    return QStringLiteral("Tyto soubory nebyly přejmenovány:\n\n") + groups;
}

} // namespace

// Renaming on the file systems photographs are kept on, each mounted for real.
class TestFileSystems : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QStringLiteral("cs_CZ")));
    }

    // A taken name is refused on every path, also when it differs in case only where the file
    // system ignores case; the way is found without failing a file for it.
    void takenNamesAreNeverReplaced_data() { addFileSystemRows(); }
    void takenNamesAreNeverReplaced() {
        QFETCH(QString, fileSystem);
        QFETCH(RenamePath, path);
        REQUIRE_FILE_SYSTEM(fileSystem);
        MountedFolder photos(placeOf(fileSystem));
        photos.add("a", 0);
        photos.add("b", 1);
        photos.add("t", 2);
        photos.add("x", 3);
        const std::vector<RenameStep> steps{
            {"b", "b", "c"}, {"a", "a", "t"}, {"a", "a", "T"}, {"x", "x", "y"}};
        const RenameOutcome outcome = renameFiles(photos.folder(), steps);
        QCOMPARE(outcome.path, path);
        const QStringList problems = failureTexts(outcome.problems);
        const QString taken = QStringLiteral("a: Exists");
        const bool ignoresCase = fileSystem.contains(QStringLiteral("fat"));
        QCOMPARE(problems, ignoresCase ? QStringList({taken, taken}) : QStringList(taken));
        QStringList kept{ignoresCase ? photos.held("a") : photos.held("T", "a"), photos.held("t"),
                         photos.held("c", "b"), photos.held("y", "x")};
        kept.sort();
        QCOMPARE(photos.disk(), kept);
    }

    // Two older photographs added to a numbered folder and the folder numbered anew, then
    // every original name given back; every file keeps its content.
    void renamesRenumbersAndUndoes_data() { addFileSystemRows(); }
    void renamesRenumbersAndUndoes() {
        QFETCH(QString, fileSystem);
        REQUIRE_FILE_SYSTEM(fileSystem);
        MountedFolder photos(placeOf(fileSystem));
        numberedThenTwoAdded(photos);
        QCOMPARE(photos.sort("Přejmenovat"), "HOTOVO - přejmenováno");
        QCOMPARE(photos.disk(), photos.held(renumbered));
        QCOMPARE(photos.dates(), photos.stamped(renumbered));
        QCOMPARE(photos.sort("Vrátit původní názvy"), "HOTOVO - vráceny původní názvy");
        QCOMPARE(photos.disk(), photos.held(originals));
        QCOMPARE(photos.dates(), photos.stamped(originals));
    }

    // A renumbering broken off after each system call its path makes, and resumed by the
    // program's next start: each file listed once, the numbered set, then all originals.
    void resumesAfterACrashAtAnyCall_data() {
        QTest::addColumn<QString>("fileSystem");
        QTest::addColumn<int>("calls");
        QTest::addColumn<QString>("restamped"); // a file left with the present time
        for (const FileSystem& fileSystem : fileSystems)
            for (int calls = 0; calls <= callsOf(fileSystem.path, 5); ++calls)
                QTest::addRow("%s, %d calls", fileSystem.tag, calls)
                    << fileSystem.name << calls << restamped(fileSystem.name, calls);
    }
    void resumesAfterACrashAtAnyCall() {
        QFETCH(QString, fileSystem);
        QFETCH(int, calls);
        QFETCH(QString, restamped);
        REQUIRE_FILE_SYSTEM(fileSystem);
        MountedFolder photos(placeOf(fileSystem));
        numberedThenTwoAdded(photos);
        crashWhileRenaming(photos.window(), photos.folder(), calls);
        photos.reopen();
        photos.browse();
        const QStringList found = photos.disk();
        QCOMPARE(part(found, 1), part(photos.held(originals), 1)); // each file under one name
        QCOMPARE(photos.listed(), part(found, 0));
        photos.sort("Přejmenovat");
        QCOMPARE(photos.disk(), photos.held(numberedInDateOrder(restamped)));
        QCOMPARE(photos.sort("Vrátit původní názvy"), "HOTOVO - vráceny původní názvy");
        QCOMPARE(photos.disk(), photos.held(originals));
        const QStringList dates = photos.dates();
        QCOMPARE(dates.filter(QRegularExpression("^(?!" + restamped + " )")),
                 photos.stamped(originals).filter(QRegularExpression("^(?!" + restamped + " )")));
    }

    // Names of one original (here "a") that are one file: the extra ones go, files stay.
    void extraNamesAreRemoved_data() {
        QTest::addColumn<QStringList>("files");  // made apart
        QTest::addColumn<QString>("secondName"); // of the first file; none when empty
        QTest::addColumn<QStringList>("given");  // the names the journal gives "a"
        QTest::addColumn<QStringList>("kept");
        const QString temporary = QStringLiteral("~temlo-0123456789ab-1");
        QTest::newRow("original and numbered: the original stays")
            << QStringList{"a"} << "001 - a" << QStringList{"001 - a"} << QStringList{"a"};
        QTest::newRow("numbered and temporary: the numbered stays")
            << QStringList{temporary} << "002 - a" << QStringList{temporary, "002 - a"}
            << QStringList{"002 - a"};
        QTest::newRow("two numbered names: the first stays")
            << QStringList{"002 - a"} << "001 - a" << QStringList{"001 - a", "002 - a"}
            << QStringList{"001 - a"};
        QTest::newRow("two files of one original both stay")
            << QStringList{"001 - a", "002 - a"} << "" << QStringList{"001 - a", "002 - a"}
            << QStringList{"001 - a", "002 - a"};
        QTest::newRow("a numbered name that is another file stays")
            << QStringList{"a", "001 - a"} << "" << QStringList{"001 - a"}
            << QStringList{"001 - a", "a"};
        QTest::newRow("a second name the journal does not give stays")
            << QStringList{"a"} << "a copy" << QStringList{"001 - a"} << QStringList{"a", "a copy"};
    }
    void extraNamesAreRemoved() {
        QFETCH(QStringList, files);
        QFETCH(QString, secondName);
        QFETCH(QStringList, given);
        QFETCH(QStringList, kept);
        const QTemporaryDir folder;
        for (const QString& name : files)
            writeFile(folder.filePath(name), name.toUtf8(), firstTime);
        if (!secondName.isEmpty())
            QCOMPARE(::link(QFile::encodeName(folder.filePath(files[0])).constData(),
                            QFile::encodeName(folder.filePath(secondName)).constData()),
                     0);
        std::vector<RenamedName> journal;
        for (const QString& name : given)
            journal.push_back({"a", name});
        removeDoubledNames(folder.path() + u'/', [&] { return journal; });
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files, QDir::Name), kept);
    }

    // What "seřaď" says and leaves in the journal when files are not renamed.
    void failuresAreToldTruly_data() {
        QTest::addColumn<QString>("fileSystem");
        QTest::addColumn<QStringList>("files");  // made in the folder, a minute apart
        QTest::addColumn<int>("mode");           // the folder's, once its files are made
        QTest::addColumn<QString>("takenLater"); // a file made between the scan and "seřaď"
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("journal"); // the names it records afterwards
        QTest::addColumn<QStringList>("names");   // on disk afterwards
        const QString question =
            QStringLiteral("Přejmenovat 2 soubory ve složce „%F“ na jejich číslované názvy?");
        const QString taken = report("soubor s novým názvem už existuje: 1 soubor\n    b.jpg");
        const QStringList two{"a.jpg", "b.jpg"};
        QTest::newRow("name taken meanwhile: its journal row forgotten")
            << "local" << two << 0 << "002 - b.jpg" << QStringList{question, taken}
            << "HOTOVO - nepřejmenováno: 1" << QStringList{"001 - a.jpg"}
            << QStringList{"001 - a.jpg", "002 - b.jpg", "b.jpg"};
        QTest::newRow("FAT32: a name taken in another case is not replaced")
            << "fat32" << two << 0 << "002 - B.jpg" << QStringList{question, taken}
            << "HOTOVO - nepřejmenováno: 1" << QStringList{"001 - a.jpg"}
            << QStringList{"001 - a.jpg", "002 - B.jpg", "b.jpg"};
        QTest::newRow("folder not writable: permission denied, no journal rows")
            << "local" << two << 0555 << ""
            << QStringList{question, report("přístup odepřen: 2 soubory\n    a.jpg\n    b.jpg")}
            << "HOTOVO - nepřejmenováno: 2" << QStringList{} << QStringList{"a.jpg", "b.jpg"};
        QTest::newRow("folder not listable: nothing asked, nothing renamed")
            << "local" << two << 0311 << ""
            << QStringList{"Adresář „%F“ nelze číst: přístup odepřen."} << "HOTOVO - seřazeno"
            << QStringList{} << QStringList{"a.jpg", "b.jpg"};
        QTest::newRow("empty folder: nothing asked, nothing renamed")
            << "local" << QStringList{} << 0 << "" << QStringList{} << "HOTOVO - seřazeno"
            << QStringList{} << QStringList{};
        QTest::newRow("read-only file system: nothing asked")
            << "readonly" << QStringList{} << 0 << ""
            << QStringList{"Složka „%F“ je na disku, který je připojen jen pro čtení; soubory "
                           "v ní nelze přejmenovat."}
            << "HOTOVO - seřazeno" << QStringList{} << QStringList{"a.jpg", "b.jpg"};
    }
    void failuresAreToldTruly() {
        QFETCH(QString, fileSystem);
        QFETCH(QStringList, files);
        QFETCH(int, mode);
        QFETCH(QString, takenLater);
        REQUIRE_FILE_SYSTEM(fileSystem);
        if (mode && ::geteuid() == 0)
            QSKIP("root ignores permission bits; the suite runs unprivileged in CI");
        MountedFolder photos(placeOf(fileSystem), fileSystem != u"readonly"); // that one holds two
        for (qsizetype i = 0; i < files.size(); ++i)
            photos.add(files[i], int(i));
        const QByteArray folder = QFile::encodeName(photos.folder());
        if (mode)
            QCOMPARE(::chmod(folder.constData(), mode_t(mode)), 0);
        photos.browse();
        if (!takenLater.isEmpty())
            photos.add(takenLater, 9);
        const QString status = photos.sort("Přejmenovat");
        if (mode)
            ::chmod(folder.constData(), 0700);
        QTEST(photos.messages(), "messages");
        QTEST(status, "status");
        QStringList journal;
        const auto given = photos.window().catalogue().renamedIn(photos.folder());
        for (const RenamedName& entry : given.value())
            journal << entry.numbered;
        QTEST(journal, "journal");
        QTEST(part(photos.disk(), 0), "names");
        if (!takenLater.isEmpty()) // with its own content
            QVERIFY(photos.disk().contains(photos.held(takenLater, takenLater)));
    }
};

QTEST_MAIN(TestFileSystems)
#include "tst_filesystems.moc"
