#include "folderhandle.h"
#include "noreplace.h"
#include "numberedlist.h"
#include "renameplan.h"
#include "renamer.h"
#include "renamereport.h"
#include "testsupport.h"

#include <QFile>
#include <QTest>
#include <cerrno>
#include <unistd.h>

class TestRename : public QObject {
    Q_OBJECT
private slots:
    void planAndRename_data();
    void planAndRename();
    void noReplacePrimitives();
    void numberedNamesAndMessages();
};

// On disk as Sandbox::make takes it; in the catalogue "~name" is a file changed after the scan.
void TestRename::planAndRename_data() {
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
        << QStringList{"r.jpg", "gone.jpg", "~a.jpg", "b.jpg", "b.jpg"}
        << QStringList{"gone.jpg: soubor ve složce chybí",
                       "a.jpg: soubor se od procházení složky změnil",
                       "b.jpg: soubor je v katalogu vícekrát"}
        << QStringList{"001 - r.jpg=001 - r.jpg", "004 - b.jpg=b.jpg", "a.jpg=a.jpg"};
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
    const QString nfc = QStringLiteral("Kůň \u017Elu\u0165ou\u010Dk\u00FD.jpg");
    const QString nfd = nfc.normalized(QString::NormalizationForm_D);
    const QString crlf = QStringLiteral("a\rb\nc.jpg");
    QTest::newRow("name/composed, decomposed and line breaks renamed exactly")
        << QStringList{nfc, nfd, crlf} << QStringList{nfc, nfd, crlf} << none
        << QStringList{"001 - " + nfc + u'=' + nfc, "002 - " + nfd + u'=' + nfd,
                       "003 - " + crlf + u'=' + crlf};
    const QString longest = QString(251, u'x') + QStringLiteral(".jpg");
    QTest::newRow("name/255 bytes leave no room for a number")
        << QStringList{longest, "s"} << QStringList{longest, "s"}
        << QStringList{longest + ": nový název je příliš dlouhý"}
        << QStringList{"002 - s=s", longest + u'=' + longest};
    QTest::newRow("permission/folder not writable loses nothing")
        << QStringList{"a.jpg", "b.jpg"} << QStringList{"a.jpg", "b.jpg"}
        << QStringList{"a.jpg: přístup odepřen", "b.jpg: přístup odepřen"} << none;
}

void TestRename::planAndRename() {
    QFETCH(QStringList, disk);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, problems);
    QFETCH(QStringList, after);
    const bool forbidden = QByteArray(QTest::currentDataTag()).startsWith("permission");
    if (forbidden && ::geteuid() == 0)
        QSKIP("root ignores permission bits; the suite runs unprivileged in CI");
    const Sandbox box;
    box.make(disk);
    const QStringList before = box.state();
    const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    QFile::setPermissions(box.folder(), forbidden ? all & ~QFile::WriteOwner : all);
    const RenamePlan plan = planRenames(box.folder(), box.scannedRows(rows), " - ");
    QStringList lines;
    for (const auto& list : {plan.problems, renameFiles(plan)})
        for (const RenameProblem& problem : list)
            lines << problem.name + QStringLiteral(": ") + problem.reason;
    QFile::setPermissions(box.folder(), all);
    QCOMPARE(lines, problems);
    QCOMPARE(box.state(), after.isEmpty() ? before : after);
}

void TestRename::noReplacePrimitives() {
    for (const auto rename : {renameNoReplace, linkThenUnlink}) {
        const Sandbox box;
        box.make({"old", "taken"});
        const FolderHandle folder(box.folder());
        QCOMPARE(rename(folder.fd(), "old", "taken"), EEXIST);
        QCOMPARE(rename(folder.fd(), "old", "new"), 0);
        QCOMPARE(box.state(), (QStringList{"new=old", "taken=taken"}));
    }
}

void TestRename::numberedNamesAndMessages() {
    QCOMPARE(numberedList(std::vector<CatalogueRow>(10, {"a\nb", ""}), " - ").section(u'\r', 9),
             "010 - a?b\r");
    QCOMPARE(numberedName(1000, "x", " - "), "1000 - x");
    QCOMPARE(renameQuestion(5, "/f/"),
             "Přejmenovat 5 souborů ve složce „/f/“ na jejich číslované názvy?");
    std::vector<RenameProblem> failures(23, {"f", "přístup odepřen"});
    QCOMPARE(renameReport(failures).count(u'\n'), 21);
    QVERIFY(renameReport(failures).endsWith("\nf: přístup odepřen\n… a dalších: 3"));
    QCOMPARE(renameReport(std::span(failures).first(20)).count(u'\n'), 20);
}

QTEST_GUILESS_MAIN(TestRename)
#include "tst_rename.moc"
