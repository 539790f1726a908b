#include "datum.h"
#include "folderhandle.h"
#include "noreplace.h"
#include "renamer.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <unistd.h>

namespace {

const QString separator = QStringLiteral(" - ");
const QDateTime scanned(QDate(2024, 3, 7), QTime(8, 5, 9, 123), Qt::UTC);

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Name and content of every file of the folder, and "name/" for each subfolder, sorted by name.
QStringList folderState(const QString& folder) {
    QStringList state;
    const auto filter = QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::System;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(filter, QDir::Name)) {
        state << (entry.isDir()
                      ? entry.fileName() + u'/'
                      : entry.fileName() + u'=' + QString::fromUtf8(contentOf(entry.filePath())));
    }
    return state;
}

// Writes each file with its name as content and a later time than the one before, and
// catalogues it as the scan would.
std::vector<CatalogueRow> scanFiles(const QString& folder, const QStringList& names) {
    std::vector<CatalogueRow> rows;
    for (int i = 0; i < names.size(); ++i) {
        writeFile(folder + names[i], names[i].toUtf8(), scanned.addSecs(i));
        rows.push_back({names[i], storedDatum(QFileInfo(folder + names[i]).lastModified())});
    }
    return rows;
}

std::vector<RenameProblem> planAndRename(const QString& folder,
                                         const std::vector<CatalogueRow>& rows) {
    const RenamePlan plan = planRenames(folder, rows, separator);
    std::vector<RenameProblem> failures = plan.problems;
    for (RenameProblem& failure : renameFiles(plan))
        failures.push_back(std::move(failure));
    return failures;
}

QStringList lines(const std::vector<RenameProblem>& problems) {
    QStringList text;
    for (const RenameProblem& problem : problems)
        text << problem.name + QStringLiteral(": ") + problem.reason;
    return text;
}

} // namespace

class TestRenamer : public QObject {
    Q_OBJECT
private slots:
    void init();
    void renamesEveryFileKeepingContents();
    void secondRunChangesNothing();
    void existingTargetIsNeitherOverwrittenNorRenamedOnto();
    void chainNeverOverwrites_data();
    void chainNeverOverwrites();
    void tamperedRowsTouchNothingOutside_data();
    void tamperedRowsTouchNothingOutside();
    void fileGoneBeforeRenameIsReported();
    void forbiddenFolderLosesNothing();
    void noReplacePrimitives_data();
    void noReplacePrimitives();

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_folder;
};

void TestRenamer::init() {
    m_root = std::make_unique<QTemporaryDir>();
    m_folder = m_root->filePath(QStringLiteral("photos/"));
    QVERIFY(QDir().mkpath(m_folder));
}

void TestRenamer::renamesEveryFileKeepingContents() {
    const auto rows = scanFiles(m_folder, {"c.jpg", "a b.jpg", "Žluťoučký.png"});
    QVERIFY(planAndRename(m_folder, rows).empty());
    QCOMPARE(folderState(m_folder), (QStringList{"001 - c.jpg=c.jpg", "002 - a b.jpg=a b.jpg",
                                                 "003 - Žluťoučký.png=Žluťoučký.png"}));
}

void TestRenamer::secondRunChangesNothing() {
    const auto rows = scanFiles(m_folder, {"a.jpg", "b.jpg"});
    QVERIFY(planAndRename(m_folder, rows).empty());
    const QStringList renamed = folderState(m_folder);
    const RenamePlan again = planRenames(m_folder, rows, separator);
    QVERIFY(again.steps.empty());
    QVERIFY(again.problems.empty());
    QCOMPARE(folderState(m_folder), renamed);
}

void TestRenamer::existingTargetIsNeitherOverwrittenNorRenamedOnto() {
    const auto rows = scanFiles(m_folder, {"a.jpg", "b.jpg"});
    writeFile(m_folder + "001 - a.jpg", "someone else's");
    QCOMPARE(lines(planAndRename(m_folder, rows)),
             QStringList{"a.jpg: soubor s novým názvem už existuje"});
    QCOMPARE(folderState(m_folder),
             (QStringList{"001 - a.jpg=someone else's", "002 - b.jpg=b.jpg", "a.jpg=a.jpg"}));
}

void TestRenamer::chainNeverOverwrites_data() {
    QTest::addColumn<bool>("holderChanged");
    QTest::addColumn<QStringList>("failures");
    QTest::addColumn<QStringList>("state");
    QTest::newRow("chain/holder renamed first")
        << false << QStringList{}
        << QStringList{"001 - a.jpg=a.jpg", "002 - b.jpg=b.jpg", "003 - 002 - b.jpg=002 - b.jpg"};
    QTest::newRow("chain/holder changed and kept")
        << true
        << QStringList{"002 - b.jpg: soubor se od procházení složky změnil",
                       "b.jpg: soubor s novým názvem už existuje"}
        << QStringList{"001 - a.jpg=a.jpg", "002 - b.jpg=changed", "b.jpg=b.jpg"};
}

// The file literally named "002 - b.jpg" is the target of b.jpg.
void TestRenamer::chainNeverOverwrites() {
    QFETCH(bool, holderChanged);
    QFETCH(QStringList, failures);
    QFETCH(QStringList, state);
    const auto rows = scanFiles(m_folder, {"a.jpg", "b.jpg", "002 - b.jpg"});
    if (holderChanged)
        writeFile(m_folder + "002 - b.jpg", "changed");
    QCOMPARE(lines(planAndRename(m_folder, rows)), failures);
    QCOMPARE(folderState(m_folder), state);
}

void TestRenamer::tamperedRowsTouchNothingOutside_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("tampered/../x") << "../x";
    QTest::newRow("tampered/a/b") << "a/b";
    QTest::newRow("tampered/./a/b") << "./a/b";
}

void TestRenamer::tamperedRowsTouchNothingOutside() {
    QFETCH(QString, name);
    QVERIFY(QDir(m_folder).mkpath("a"));
    scanFiles(m_folder, {"../x", "a/b"});
    auto rows = scanFiles(m_folder, {"c.jpg"});
    rows.insert(rows.begin(), {name, storedDatum(QFileInfo(m_folder + name).lastModified())});
    const QStringList outside = folderState(m_root->path() + u'/');
    const QStringList inner = folderState(m_folder + "a/");

    QCOMPARE(lines(planAndRename(m_folder, rows)),
             QStringList{name + ": název souboru by vedl mimo složku"});
    QCOMPARE(folderState(m_root->path() + u'/'), outside);
    QCOMPARE(folderState(m_folder + "a/"), inner);
    QCOMPARE(folderState(m_folder), (QStringList{"002 - c.jpg=c.jpg", "a/"}));
}

void TestRenamer::fileGoneBeforeRenameIsReported() {
    const auto rows = scanFiles(m_folder, {"a.jpg", "b.jpg"});
    const RenamePlan plan = planRenames(m_folder, rows, separator);
    QVERIFY(QFile::remove(m_folder + "a.jpg"));
    QCOMPARE(lines(renameFiles(plan)), QStringList{"a.jpg: soubor ve složce už není"});
    QCOMPARE(folderState(m_folder), QStringList{"002 - b.jpg=b.jpg"});
}

void TestRenamer::forbiddenFolderLosesNothing() {
    if (::geteuid() == 0)
        QSKIP("root ignores permission bits; run as an ordinary user to test this");
    const auto rows = scanFiles(m_folder, {"a.jpg", "b.jpg", "c.jpg"});
    const QStringList before = folderState(m_folder);
    QVERIFY(QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner));
    const auto failures = planAndRename(m_folder, rows);
    QVERIFY(
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QCOMPARE(lines(failures), (QStringList{"a.jpg: přístup odepřen", "b.jpg: přístup odepřen",
                                           "c.jpg: přístup odepřen"}));
    QCOMPARE(folderState(m_folder), before);
}

void TestRenamer::noReplacePrimitives_data() {
    QTest::addColumn<bool>("linkFallback");
    QTest::addColumn<bool>("targetTaken");
    QTest::addColumn<int>("error");
    QTest::addColumn<QStringList>("state");
    const QStringList moved{"new=old content"};
    const QStringList kept{"new=taken", "old=old content"};
    QTest::newRow("rename/free target") << false << false << 0 << moved;
    QTest::newRow("rename/taken target") << false << true << EEXIST << kept;
    QTest::newRow("link fallback/free target") << true << false << 0 << moved;
    QTest::newRow("link fallback/taken target") << true << true << EEXIST << kept;
}

void TestRenamer::noReplacePrimitives() {
    QFETCH(bool, linkFallback);
    QFETCH(bool, targetTaken);
    QFETCH(int, error);
    QFETCH(QStringList, state);
    writeFile(m_folder + "old", "old content");
    if (targetTaken)
        writeFile(m_folder + "new", "taken");
    const FolderHandle folder(m_folder);
    QVERIFY(folder.isOpen());
    const auto rename = linkFallback ? linkThenUnlink : renameNoReplace;
    QCOMPARE(rename(folder.fd(), "old", "new"), error);
    QCOMPARE(folderState(m_folder), state);
}

QTEST_GUILESS_MAIN(TestRenamer)
#include "tst_renamer.moc"
