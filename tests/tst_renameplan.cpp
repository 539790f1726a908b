#include "datum.h"
#include "folderhandle.h"
#include "noreplace.h"
#include "renameplan.h"
#include "renamer.h"
#include "renamereport.h"
#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <unistd.h>

namespace {

const QDateTime scanned(QDate(2024, 3, 7), QTime(8, 5, 9, 123), Qt::UTC);

// Every file below the folder's parent as "path from the folder=content", sorted.
QStringList state(const QString& folder) {
    QStringList files;
    QDirIterator it(QDir::cleanPath(folder + ".."), QDir::Files | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        files << QDir(folder).relativeFilePath(file.fileName()) + u'=' +
                     (file.open(QIODevice::ReadOnly) ? file.readAll() : "<missing>");
    }
    files.sort();
    return files;
}

} // namespace

class TestRenamePlan : public QObject {
    Q_OBJECT
private slots:
    void init();
    void planAndRename_data();
    void planAndRename();
    void forbiddenFolderLosesNothing();
    void noReplacePrimitives_data();
    void noReplacePrimitives();
    void questionAndReport();

private:
    std::vector<CatalogueRow> prepare(const QStringList& disk, const QStringList& rows);
    QStringList planAndRenameRows(const std::vector<CatalogueRow>& rows);

    std::unique_ptr<QTemporaryDir> m_root;
    QString m_folder;
    std::vector<RenamedName> m_journal;
};

void TestRenamePlan::init() {
    m_root = std::make_unique<QTemporaryDir>();
    m_folder = m_root->filePath(QStringLiteral("photos/"));
    QVERIFY(QDir().mkpath(m_folder));
    m_journal.clear();
}

// On disk "name" is a file holding its name, "dir:name" a folder, "link:name>target" a link.
// In the catalogue "~name" is a file changed after the scan, "name@given" a file that carries
// the name the journal records as given to it.
std::vector<CatalogueRow> TestRenamePlan::prepare(const QStringList& disk,
                                                  const QStringList& rows) {
    for (int i = 0; i < disk.size(); ++i) {
        const QString& entry = disk[i];
        if (entry.startsWith(u"dir:"))
            QDir(m_folder).mkpath(entry.mid(4));
        else if (entry.startsWith(u"link:"))
            QFile::link(entry.section(u'>', 1), m_folder + entry.mid(5).section(u'>', 0, 0));
        else
            writeFile(m_folder + entry, entry.toUtf8(), scanned.addSecs(i));
    }
    std::vector<CatalogueRow> catalogue;
    for (const QString& entry : rows) {
        const QString name = entry.startsWith(u'~') ? entry.mid(1) : entry.section(u'@', 0, 0);
        if (entry.contains(u'@'))
            m_journal.push_back({name, entry.section(u'@', 1)});
        const QFileInfo file(m_folder + (entry.contains(u'@') ? entry.section(u'@', 1) : name));
        const bool fresh = file.exists() && !entry.startsWith(u'~');
        catalogue.push_back({name, storedDatum(fresh ? file.lastModified() : scanned.addDays(-1))});
    }
    return catalogue;
}

QStringList TestRenamePlan::planAndRenameRows(const std::vector<CatalogueRow>& rows) {
    const RenamePlan plan = planRenames(m_folder, rows, QStringLiteral(" - "), m_journal);
    std::vector<RenameProblem> problems = plan.problems;
    std::ranges::move(renameFiles(m_folder, plan.steps).problems, std::back_inserter(problems));
    QStringList lines;
    for (const RenameProblem& problem : problems)
        lines << problem.name + QStringLiteral(": ") + problem.reason;
    return lines;
}

void TestRenamePlan::planAndRename_data() {
    QTest::addColumn<QStringList>("disk");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("problems");
    QTest::addColumn<QStringList>("after"); // empty: as before

    const QStringList none;
    const QString outside = QStringLiteral(": název souboru by vedl mimo složku");
    QTest::newRow("plan/numbered in list order, contents kept")
        << QStringList{"b.jpg", "Žluť.jpg"} << QStringList{"Žluť.jpg", "b.jpg"} << none
        << QStringList{"001 - Žluť.jpg=Žluť.jpg", "002 - b.jpg=b.jpg"};
    QTest::newRow("skip/renamed earlier silently; removed, modified or listed twice reported")
        << QStringList{"001 - r.jpg", "a.jpg", "b.jpg"}
        << QStringList{"r.jpg@001 - r.jpg", "gone.jpg", "~a.jpg", "b.jpg", "b.jpg"}
        << QStringList{"gone.jpg: soubor ve složce chybí",
                       "a.jpg: soubor se od procházení složky změnil",
                       "b.jpg: soubor je v katalogu vícekrát"}
        << QStringList{"001 - r.jpg=001 - r.jpg", "004 - b.jpg=b.jpg", "a.jpg=a.jpg"};
    QTest::newRow("skip/a name the program did not give is another file")
        << QStringList{"001 - r.jpg"} << QStringList{"r.jpg"}
        << QStringList{"r.jpg: soubor ve složce chybí"} << none;
    QTest::newRow("renumber/given names move up; a cycle goes through a temporary name")
        << QStringList{"001 - y", "002 - y", "001 - x"}
        << QStringList{"y@002 - y", "y@001 - y", "x@001 - x"} << none
        << QStringList{"001 - y=002 - y", "002 - y=001 - y", "003 - x=001 - x"};
    QTest::newRow("length/too long a numbered name is refused before renaming")
        << QStringList{QString(252, u'x')} << QStringList{QString(252, u'x')}
        << QStringList{QString(252, u'x') + ": nový název by byl příliš dlouhý"} << none;
    QTest::newRow("kind/folder and links")
        << QStringList{"t", "dir:d", "link:broken>gone", "link:dirlink>d", "link:l.jpg>t"}
        << QStringList{"d", "broken", "dirlink", "l.jpg"}
        << QStringList{"d: není obyčejný soubor", "broken: odkaz nevede na žádný soubor",
                       "dirlink: není obyčejný soubor"}
        << QStringList{"004 - l.jpg=t", "broken=<missing>", "t=t"};
    QTest::newRow("tampered/names leading out")
        << QStringList{"../x", "dir:a", "a/b"} << QStringList{"../x", "a/b", ".", "..", ""}
        << QStringList{"../x" + outside, "a/b" + outside, "." + outside, ".." + outside, outside}
        << none;
    // Read from a name that is not UTF-8; renaming by it would meet this lookalike.
    QTest::newRow("tampered/undecodable name")
        << QStringList{"a\uFFFD.jpg"} << QStringList{"a\uFFFD.jpg"}
        << QStringList{"a\uFFFD.jpg: název souboru obsahuje neplatné znaky"} << none;
    QTest::newRow("chain/runs from its end")
        << QStringList{"x", "001 - x", "002 - 001 - x"}
        << QStringList{"x", "001 - x", "002 - 001 - x"} << none
        << QStringList{"001 - x=x", "002 - 001 - x=001 - x", "003 - 002 - 001 - x=002 - 001 - x"};
    QTest::newRow("target/taken is kept")
        << QStringList{"a.jpg", "001 - a.jpg"} << QStringList{"a.jpg"}
        << QStringList{"a.jpg: soubor s novým názvem už existuje"} << none;
}

void TestRenamePlan::planAndRename() {
    QFETCH(QStringList, disk);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, problems);
    QFETCH(QStringList, after);
    const auto catalogue = prepare(disk, rows);
    const QStringList before = state(m_folder);
    QCOMPARE(planAndRenameRows(catalogue), problems);
    QCOMPARE(state(m_folder), after.isEmpty() ? before : after);
}

void TestRenamePlan::forbiddenFolderLosesNothing() {
    if (::geteuid() == 0)
        QSKIP("root ignores permission bits; run as an ordinary user to test this");
    const auto rows = prepare({"a.jpg", "b.jpg"}, {"a.jpg", "b.jpg"});
    const QStringList before = state(m_folder);
    QVERIFY(QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner));
    const QStringList problems = planAndRenameRows(rows);
    QVERIFY(
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QCOMPARE(problems, (QStringList{"a.jpg: přístup odepřen", "b.jpg: přístup odepřen"}));
    QCOMPARE(state(m_folder), before);
}

void TestRenamePlan::noReplacePrimitives_data() {
    QTest::addColumn<bool>("linkFallback");
    QTest::newRow("renameat2") << false;
    QTest::newRow("link fallback") << true;
}

void TestRenamePlan::noReplacePrimitives() {
    QFETCH(bool, linkFallback);
    const auto rename = linkFallback ? linkThenUnlink : renameNoReplace;
    prepare({"old", "taken"}, {});
    const FolderHandle folder(m_folder);
    QCOMPARE(rename(folder.fd(), "old", "taken"), EEXIST);
    QCOMPARE(rename(folder.fd(), "old", "new"), 0);
    QCOMPARE(state(m_folder), (QStringList{"new=old", "taken=taken"}));
}

void TestRenamePlan::questionAndReport() {
    const QString question =
        QStringLiteral("Přejmenovat %1 ve složce „/f/“ na jejich číslované názvy?");
    QCOMPARE(renameQuestion(1, "/f/"), question.arg("1 soubor"));
    QCOMPARE(renameQuestion(2, "/f/"), question.arg("2 soubory"));
    QCOMPARE(renameQuestion(5, "/f/"), question.arg("5 souborů"));

    // Grouped by reason in order of first occurrence, each group counted and cut short.
    const QString denied = QStringLiteral("přístup odepřen");
    const QString gone = QStringLiteral("soubor ve složce chybí");
    const QString longName = "IMG_" + QString(70, u'x') + "_end.jpg";
    std::vector<RenameProblem> failures{{"a\nb.jpg", denied}, {"c.jpg", gone}};
    for (int i = 1; i <= 10; ++i)
        failures.push_back({QStringLiteral("f%1").arg(i), denied});
    failures.push_back({longName, gone});
    QStringList expected{"Tyto soubory nebyly přejmenovány:", "", denied + ": 11 souborů",
                         "    a?b.jpg"};
    for (int i = 1; i <= 9; ++i)
        expected << QStringLiteral("    f%1").arg(i);
    expected << "    … a dalších: 1"
             << "" << gone + ": 2 soubory"
             << "    c.jpg"
             << "    IMG_" + QString(25, u'x') + u'…' + QString(22, u'x') + "_end.jpg";
    QCOMPARE(renameReport(failures).split(u'\n'), expected);
}

QTEST_GUILESS_MAIN(TestRenamePlan)
#include "tst_renameplan.moc"
