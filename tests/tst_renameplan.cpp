#include "datum.h"
#include "renameplan.h"
#include "renamereport.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString separator = QStringLiteral(" - ");
const QDateTime scanned(QDate(2024, 3, 7), QTime(8, 5, 9, 123), Qt::UTC);

// "name" is a file, "dir:name" a folder, "link:name>target" a symbolic link; names may climb
// out of the folder ("../x") or into a subfolder ("a/b").
void createEntry(const QString& folder, const QString& entry, int index) {
    if (entry.startsWith(u"dir:")) {
        QVERIFY(QDir(folder).mkpath(entry.mid(4)));
    } else if (entry.startsWith(u"link:")) {
        const QStringList parts = entry.mid(5).split(u'>');
        QVERIFY(QFile::link(parts[1], folder + parts[0]));
    } else {
        writeFile(folder + entry, entry.toUtf8(), scanned.addSecs(index));
    }
}

// "~name" stands for a row whose file was changed after the scan.
CatalogueRow rowFor(const QString& folder, const QString& spec) {
    const bool changed = spec.startsWith(u'~');
    const QString name = changed ? spec.mid(1) : spec;
    const QFileInfo file(folder + name);
    const QDateTime datum = file.exists() && !changed ? file.lastModified() : scanned.addDays(-1);
    return {name, storedDatum(datum)};
}

QStringList sources(const RenamePlan& plan) {
    QStringList names;
    for (const RenameStep& step : plan.steps)
        names << step.name;
    return names;
}

QStringList problems(const RenamePlan& plan) {
    QStringList lines;
    for (const RenameProblem& problem : plan.problems)
        lines << problem.name + QStringLiteral(": ") + problem.reason;
    return lines;
}

} // namespace

class TestRenamePlan : public QObject {
    Q_OBJECT
private slots:
    void init();
    void plan_data();
    void plan();
    void targetsAreTheListedNames();
    void undecodableNameIsRefused();
    void missingFolderRefusesEveryRow();
    void question_data();
    void question();
    void reportListsTwentyAndCountsTheRest();

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_folder;
};

void TestRenamePlan::init() {
    m_root = std::make_unique<QTemporaryDir>();
    m_folder = m_root->filePath(QStringLiteral("photos/"));
    QVERIFY(QDir().mkpath(m_folder));
}

void TestRenamePlan::plan_data() {
    QTest::addColumn<QStringList>("disk");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("planned");
    QTest::addColumn<QStringList>("refused");

    const QStringList none;
    QTest::newRow("plan/every file fresh")
        << QStringList{"b.jpg", "a.jpg"} << QStringList{"b.jpg", "a.jpg"}
        << QStringList{"b.jpg", "a.jpg"} << none;
    QTest::newRow("plan/empty catalogue") << QStringList{"a.jpg"} << none << none << none;
    QTest::newRow("done/renamed earlier")
        << QStringList{"001 - a.jpg", "b.jpg"} << QStringList{"a.jpg", "b.jpg"}
        << QStringList{"b.jpg"} << none;
    QTest::newRow("skip/removed after scan")
        << QStringList{"b.jpg"} << QStringList{"a.jpg", "b.jpg"} << QStringList{"b.jpg"}
        << QStringList{"a.jpg: soubor ve složce chybí"};
    QTest::newRow("skip/modified after scan")
        << QStringList{"a.jpg", "b.jpg"} << QStringList{"~a.jpg", "b.jpg"} << QStringList{"b.jpg"}
        << QStringList{"a.jpg: soubor se od procházení složky změnil"};
    QTest::newRow("skip/listed twice")
        << QStringList{"a.jpg"} << QStringList{"a.jpg", "a.jpg"} << QStringList{"a.jpg"}
        << QStringList{"a.jpg: soubor je v katalogu vícekrát"};
    QTest::newRow("kind/folder") << QStringList{"dir:d"} << QStringList{"d"} << none
                                 << QStringList{"d: není obyčejný soubor"};
    QTest::newRow("kind/link to a file is renamed itself")
        << QStringList{"a.jpg", "link:l.jpg>a.jpg"} << QStringList{"a.jpg", "l.jpg"}
        << QStringList{"a.jpg", "l.jpg"} << none;
    QTest::newRow("kind/broken link") << QStringList{"link:l.jpg>gone.jpg"} << QStringList{"l.jpg"}
                                      << none << QStringList{"l.jpg: odkaz nevede na žádný soubor"};
    QTest::newRow("kind/link to a folder") << QStringList{"dir:d", "link:l>d"} << QStringList{"l"}
                                           << none << QStringList{"l: není obyčejný soubor"};
    QTest::newRow("tampered/parent folder file")
        << QStringList{"../x"} << QStringList{"../x"} << none
        << QStringList{"../x: název souboru by vedl mimo složku"};
    QTest::newRow("tampered/subfolder file")
        << QStringList{"dir:a", "a/b"} << QStringList{"a/b"} << none
        << QStringList{"a/b: název souboru by vedl mimo složku"};
    QTest::newRow("tampered/dot names") << none << QStringList{".", ".."} << none
                                        << QStringList{".: název souboru by vedl mimo složku",
                                                       "..: název souboru by vedl mimo složku"};
    QTest::newRow("tampered/empty name")
        << none << QStringList{""} << none << QStringList{": název souboru by vedl mimo složku"};
    QTest::newRow("chain/target held by a later row runs after it")
        << QStringList{"a.jpg", "b.jpg", "002 - b.jpg"}
        << QStringList{"a.jpg", "b.jpg", "002 - b.jpg"}
        << QStringList{"a.jpg", "002 - b.jpg", "b.jpg"} << none;
    QTest::newRow("chain/longer chain runs from its end")
        << QStringList{"x", "001 - x", "002 - 001 - x"}
        << QStringList{"x", "001 - x", "002 - 001 - x"}
        << QStringList{"002 - 001 - x", "001 - x", "x"} << none;
}

void TestRenamePlan::plan() {
    QFETCH(QStringList, disk);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, planned);
    QFETCH(QStringList, refused);
    for (int i = 0; i < disk.size(); ++i)
        createEntry(m_folder, disk[i], i);
    std::vector<CatalogueRow> catalogue;
    for (const QString& spec : rows)
        catalogue.push_back(rowFor(m_folder, spec));

    const RenamePlan result = planRenames(m_folder, catalogue, separator);
    QCOMPARE(result.folder, m_folder);
    QCOMPARE(sources(result), planned);
    QCOMPARE(problems(result), refused);
}

void TestRenamePlan::targetsAreTheListedNames() {
    writeFile(m_folder + "b.jpg", "b", scanned);
    writeFile(m_folder + "Žluť.jpg", "z", scanned);
    const std::vector<CatalogueRow> rows{rowFor(m_folder, "b.jpg"), rowFor(m_folder, "Žluť.jpg")};
    const RenamePlan plan = planRenames(m_folder, rows, separator);
    QCOMPARE(plan.steps.size(), 2u);
    QCOMPARE(plan.steps[0].target, QByteArray("001 - b.jpg"));
    QCOMPARE(plan.steps[1].source, QStringLiteral("Žluť.jpg").toUtf8());
    QCOMPARE(plan.steps[1].target, QStringLiteral("002 - Žluť.jpg").toUtf8());
}

// A name that is not UTF-8 reads back with U+FFFD; a file truly named so must not be renamed
// in its place.
void TestRenamePlan::undecodableNameIsRefused() {
    const QByteArray raw = QFile::encodeName(m_folder) + "a\xff.jpg";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(fd >= 0);
    ::close(fd);
    const QString decoded = QFile::decodeName(QByteArray("a\xff.jpg"));
    QVERIFY(decoded.contains(QChar::ReplacementCharacter));
    writeFile(m_folder + decoded, "lookalike", scanned);

    const std::vector<CatalogueRow> rows{rowFor(m_folder, decoded)};
    const RenamePlan plan = planRenames(m_folder, rows, separator);
    QVERIFY(plan.steps.empty());
    QCOMPARE(problems(plan),
             QStringList{decoded + QStringLiteral(": název souboru obsahuje neplatné znaky")});
    // The temporary folder could not remove it by its decoded name.
    QCOMPARE(::unlink(raw.constData()), 0);
}

void TestRenamePlan::missingFolderRefusesEveryRow() {
    const std::vector<CatalogueRow> rows{{"a.jpg", ""}, {"b.jpg", ""}};
    const RenamePlan plan = planRenames(m_folder + "gone/", rows, separator);
    QVERIFY(plan.steps.empty());
    QCOMPARE(plan.problems.size(), 2u);
    QCOMPARE(plan.problems[1].reason, QStringLiteral("složka už neexistuje"));
}

void TestRenamePlan::question_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("files");
    QTest::newRow("plural/1") << 1 << "1 soubor";
    QTest::newRow("plural/2") << 2 << "2 soubory";
    QTest::newRow("plural/4") << 4 << "4 soubory";
    QTest::newRow("plural/5") << 5 << "5 souborů";
    QTest::newRow("plural/22") << 22 << "22 souborů";
    QTest::newRow("plural/100000") << 100000 << "100000 souborů";
}

void TestRenamePlan::question() {
    QFETCH(int, count);
    QFETCH(QString, files);
    QCOMPARE(renameQuestion(count, "/home/eva/foto/"),
             "Přejmenovat " + files + " ve složce „/home/eva/foto/“ na jejich číslované názvy?");
}

void TestRenamePlan::reportListsTwentyAndCountsTheRest() {
    std::vector<RenameProblem> failures;
    for (int i = 1; i <= 23; ++i)
        failures.push_back({QStringLiteral("f%1.jpg").arg(i), QStringLiteral("přístup odepřen")});
    const QStringList lines = renameReport(failures).split(u'\n');
    QCOMPARE(lines.size(), 22);
    QCOMPARE(lines.first(), QStringLiteral("Tyto soubory nebyly přejmenovány:"));
    QCOMPARE(lines[1], QStringLiteral("f1.jpg: přístup odepřen"));
    QCOMPARE(lines[20], QStringLiteral("f20.jpg: přístup odepřen"));
    QCOMPARE(lines[21], QStringLiteral("… a dalších: 3"));

    failures.resize(20);
    QCOMPARE(renameReport(failures).split(u'\n').size(), 21);
}

QTEST_GUILESS_MAIN(TestRenamePlan)
#include "tst_renameplan.moc"
