#include "catalogue.h"
#include "confirmedname.h"
#include "datum.h"
#include "directoryscan.h"
#include "scanlisttext.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

enum class Entry { File, ReadOnlyFile, Folder, LinkToFile, LinkToFolder, BrokenLink, Pipe, Socket };

void makeSocket(const QByteArray& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
    QCOMPARE(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

void makeEntry(const QDir& dir, const QString& name, Entry kind) {
    const QString path = dir.filePath(name);
    const QByteArray target = QFile::encodeName(dir.filePath(QStringLiteral("target")));
    const QByteArray native = QFile::encodeName(path);
    switch (kind) {
    case Entry::File:
        return writeFile(path, "x");
    case Entry::ReadOnlyFile:
        writeFile(path, "x");
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
        return;
    case Entry::Folder:
        QVERIFY(dir.mkdir(name));
        return;
    case Entry::LinkToFile:
        writeFile(QFile::decodeName(target), "x");
        QCOMPARE(::symlink(target.constData(), native.constData()), 0);
        return;
    case Entry::LinkToFolder:
        QVERIFY(dir.mkdir(QStringLiteral("target")));
        QCOMPARE(::symlink(target.constData(), native.constData()), 0);
        return;
    case Entry::BrokenLink:
        QCOMPARE(::symlink(target.constData(), native.constData()), 0);
        return;
    case Entry::Pipe:
        QCOMPARE(::mkfifo(native.constData(), 0644), 0);
        return;
    case Entry::Socket:
        return makeSocket(native);
    }
}

QStringList names(const DirectoryScan& scan) {
    QStringList list;
    for (const CatalogueRow& file : scan.files)
        list << file.filename;
    return list;
}

} // namespace

class TestScan : public QObject {
    Q_OBJECT
private slots:
    void init();
    void folderOfConfirmedName_data();
    void folderOfConfirmedName();
    void listsOrdinaryFilesOnly_data();
    void listsOrdinaryFilesOnly();
    void nameNotValidUtf8IsListed();
    void cataloguesEveryFileOfALargeFolder();
    void naturalOrder_data();
    void naturalOrder();
    void listTextByteForByte_data();
    void listTextByteForByte();
    void timestampStoredInUtcReadsBackRegionally();
    void fileVanishedAfterListingGetsEmptyDatum();
    void unreadableFolderIsNamedInError_data();
    void unreadableFolderIsNamedInError();

private:
    std::unique_ptr<QTemporaryDir> m_temp;
    QDir m_dir;
};

void TestScan::init() {
    m_temp = std::make_unique<QTemporaryDir>();
    m_dir = QDir(m_temp->path());
}

void TestScan::folderOfConfirmedName_data() {
    QTest::addColumn<QString>("confirmed");
    QTest::addColumn<QString>("folder");

    QTest::newRow("placeholder/nested folder") << "/home/eva/Fotky/Léto/Select a Directory.~#~"
                                               << "/home/eva/Fotky/Léto/";
    QTest::newRow("placeholder/root") << "/Select a Directory.~#~"
                                      << "/";
    QTest::newRow("typed/short name") << "/home/eva/Fotky/x.~#~"
                                      << "/home/eva/Fotky/";
    QTest::newRow("typed/short name in root") << "/x.~#~"
                                              << "/";
    QTest::newRow("typed/long name") << "/a/a much longer name than the placeholder.~#~"
                                     << "/a/";
    QTest::newRow("typed/into a subfolder") << "/Photos/Summer/beach/x.~#~"
                                            << "/Photos/Summer/beach/";
    QTest::newRow("suffix/own extension kept") << "/home/eva/IMG_1.jpg"
                                               << "/home/eva/";
    QTest::newRow("suffix/backslash is part of a name") << "/data/a\\b.~#~"
                                                        << "/data/";
}

void TestScan::folderOfConfirmedName() {
    QFETCH(QString, confirmed);
    QFETCH(QString, folder);
    QCOMPARE(folderFromConfirmedName(confirmed), folder);
}

void TestScan::listsOrdinaryFilesOnly_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<Entry>("kind");
    QTest::addColumn<bool>("listed");

    QTest::newRow("scan/regular file") << "a.jpg" << Entry::File << true;
    QTest::newRow("scan/read-only file") << "ro.jpg" << Entry::ReadOnlyFile << true;
    QTest::newRow("scan/name with spaces") << "b - kopie (2).jpg" << Entry::File << true;
    QTest::newRow("scan/Czech letters") << "Žluťoučký kůň.jpg" << Entry::File << true;
    QTest::newRow("scan/link to file") << "link.jpg" << Entry::LinkToFile << true;
    QTest::newRow("scan/hidden file") << ".hidden.jpg" << Entry::File << false;
    QTest::newRow("scan/subdirectory") << "sub" << Entry::Folder << false;
    QTest::newRow("scan/link to folder") << "dirlink" << Entry::LinkToFolder << false;
    QTest::newRow("scan/broken link") << "broken.jpg" << Entry::BrokenLink << false;
    QTest::newRow("scan/pipe") << "fifo" << Entry::Pipe << false;
    QTest::newRow("scan/socket") << "sock" << Entry::Socket << false;
}

void TestScan::listsOrdinaryFilesOnly() {
    QFETCH(QString, name);
    QFETCH(Entry, kind);
    QFETCH(bool, listed);
    makeEntry(m_dir, name, kind);
    writeFile(m_dir.filePath(QStringLiteral("zz.jpg")), "x");

    const DirectoryScan scan = scanDirectory(m_dir.path() + u'/');
    QVERIFY(scan.error.isEmpty());
    QStringList expected{QStringLiteral("zz.jpg")};
    if (kind == Entry::LinkToFile)
        expected << QStringLiteral("target");
    if (listed)
        expected << name;
    QStringList found = names(scan);
    found.sort();
    expected.sort();
    QCOMPARE(found, expected);
    for (const CatalogueRow& file : scan.files)
        QVERIFY2(!file.datum.isEmpty(), qPrintable(file.filename));
}

void TestScan::nameNotValidUtf8IsListed() {
    const QByteArray raw = QFile::encodeName(m_dir.path()) + "/bad\xff\xfe.jpg";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(fd >= 0);
    ::close(fd);

    const DirectoryScan scan = scanDirectory(m_dir.path() + u'/');
    QCOMPARE(scan.files.size(), std::size_t(1));
    QVERIFY(scan.files[0].filename.startsWith(QStringLiteral("bad")));
    QVERIFY(!scan.files[0].datum.isEmpty());
    QCOMPARE(scanListText(QStringLiteral("/d/"), scan.files).count(u'\r'), 2);
    QCOMPARE(::unlink(raw.constData()), 0); // the temporary folder cannot remove such names
}

void TestScan::cataloguesEveryFileOfALargeFolder() {
    for (int i = 1; i <= 1500; ++i)
        writeFile(m_dir.filePath(QStringLiteral("IMG_%1.jpg").arg(i)), "");
    const DirectoryScan scan = scanDirectory(m_dir.path() + u'/');
    QCOMPARE(scan.files.size(), std::size_t(1500));
    QCOMPARE(scan.files.back().filename, QStringLiteral("IMG_1500.jpg"));

    QTemporaryDir storeDir;
    const Catalogue catalogue(storeDir.filePath(QStringLiteral("temlo_files.mdb")));
    catalogue.replaceAll(scan.files);
    QCOMPARE(catalogue.orderedRows().size(), std::size_t(1500));
}

void TestScan::naturalOrder_data() {
    QTest::addColumn<QStringList>("created");
    QTest::addColumn<QStringList>("ordered");

    QTest::newRow("numbers/by value") << QStringList{"IMG_10.jpg", "IMG_2.jpg", "IMG_1.jpg"}
                                      << QStringList{"IMG_1.jpg", "IMG_2.jpg", "IMG_10.jpg"};
    QTest::newRow("numbers/several runs")
        << QStringList{"a2b10", "a2b9", "a10b1"} << QStringList{"a2b9", "a2b10", "a10b1"};
    QTest::newRow("numbers/longer than 64 bits")
        << QStringList{"n100000000000000000000", "n99999999999999999999"}
        << QStringList{"n99999999999999999999", "n100000000000000000000"};
    QTest::newRow("numbers/leading zeros in a fixed order")
        << QStringList{"x1", "x001", "x01", "x2"} << QStringList{"x001", "x01", "x1", "x2"};
    QTest::newRow("case/ignored") << QStringList{"b.jpg", "C.jpg", "a.jpg"}
                                  << QStringList{"a.jpg", "b.jpg", "C.jpg"};
    QTest::newRow("case/equal names in a fixed order")
        << QStringList{"b.txt", "A.txt", "B.txt", "a.txt"}
        << QStringList{"A.txt", "a.txt", "B.txt", "b.txt"};
    QTest::newRow("case/Czech capitals") << QStringList{"ŽABA", "žába", "Ábel", "zebra"}
                                         << QStringList{"zebra", "Ábel", "ŽABA", "žába"};
    QTest::newRow("prefix/shorter first")
        << QStringList{"foto1", "foto", "foto 1"} << QStringList{"foto", "foto 1", "foto1"};
}

void TestScan::naturalOrder() {
    QFETCH(QStringList, created);
    QFETCH(QStringList, ordered);
    for (const QString& name : created)
        writeFile(m_dir.filePath(name), "");
    QCOMPARE(names(scanDirectory(m_dir.path() + u'/')), ordered);
}

void TestScan::listTextByteForByte_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("text");

    QTest::newRow("text/two files")
        << QStringList{"a.jpg", "b c.jpg"} << "/photos/\ra.jpg\rb c.jpg\r";
    QTest::newRow("text/no files") << QStringList{} << "/photos/\r";
    QTest::newRow("text/Czech name") << QStringList{"čáp.jpg"} << "/photos/\rčáp.jpg\r";
}

void TestScan::listTextByteForByte() {
    QFETCH(QStringList, files);
    QFETCH(QString, text);
    std::vector<CatalogueRow> rows;
    for (const QString& name : files)
        rows.push_back({name, {}});
    QCOMPARE(scanListText(QStringLiteral("/photos/"), rows).toUtf8(), text.toUtf8());
}

void TestScan::timestampStoredInUtcReadsBackRegionally() {
    const QDateTime summer(QDate(2024, 7, 1), QTime(14, 5, 9, 250));
    writeFile(m_dir.filePath(QStringLiteral("a.jpg")), "x", summer);
    const DirectoryScan scan = scanDirectory(m_dir.path() + u'/');
    QCOMPARE(scan.files.size(), std::size_t(1));
    QCOMPARE(scan.files[0].datum, QStringLiteral("2024-07-01T12:05:09.250Z"));
    QCOMPARE(datumText(scan.files[0].datum, QLocale(QStringLiteral("cs_CZ"))),
             QStringLiteral("01.07.24 14:05:09"));
}

void TestScan::fileVanishedAfterListingGetsEmptyDatum() {
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        writeFile(m_dir.filePath(QLatin1String(name)), "x");
    DirectoryListing listing = listOrdinaryFiles(m_dir.path() + u'/');
    QCOMPARE(listing.files.size(), std::size_t(3));
    QVERIFY(m_dir.remove(QStringLiteral("b.jpg")));

    readTimestamps(m_dir.path() + u'/', listing.files);
    const DirectoryScan scan = orderedScan(std::move(listing));
    QCOMPARE(names(scan), (QStringList{"a.jpg", "b.jpg", "c.jpg"}));
    QVERIFY(!scan.files[0].datum.isEmpty());
    QVERIFY(scan.files[1].datum.isEmpty());
    QVERIFY(!scan.files[2].datum.isEmpty());
    QVERIFY(scan.error.isEmpty());
}

void TestScan::unreadableFolderIsNamedInError_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("cause");

    QTest::newRow("folder/removed") << "gone/"
                                    << "neexistuje";
    QTest::newRow("folder/a file, not a folder") << "file.jpg/"
                                                 << "není adresář";
}

void TestScan::unreadableFolderIsNamedInError() {
    QFETCH(QString, name);
    QFETCH(QString, cause);
    writeFile(m_dir.filePath(QStringLiteral("file.jpg")), "x");
    const QString dirpath = m_dir.filePath(name);

    const DirectoryScan scan = scanDirectory(dirpath);
    QVERIFY(scan.files.empty());
    QVERIFY2(scan.error.contains(dirpath) && scan.error.contains(cause), qPrintable(scan.error));
}

QTEST_GUILESS_MAIN(TestScan)
#include "tst_scan.moc"
