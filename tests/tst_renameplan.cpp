#include "datum.h"
#include "fixture.h"
#include "numberedlist.h"
#include "renamer.h"

#include <QRegularExpression>
#include <QTest>

using Journal = std::vector<RenamedName>;

// "source>target", a temporary name without its random part.
static QStringList texts(const std::vector<RenameStep>& steps) {
    QStringList list;
    for (const auto& s : steps)
        list << QString(s.source + '>' + s.target).remove(QRegularExpression("[0-9a-f]{12}-"));
    return list;
}

class TestRenamePlan : public QObject {
    Q_OBJECT
private slots:
    void planAndRename_data() {
        QTest::addColumn<Photos>("files");
        QTest::addColumn<Photos>("scanned");
        QTest::addColumn<Journal>("journal");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("undo");
        // Of the plan, then of renaming.
        QTest::addColumn<QStringList>("problems");
        // With the number, 255 and 256 bytes.
        const QString x249(249, 'x'), x250(250, 'x');
        // Gone, changed since the scan, leading out, listed twice, its new name taken or too
        // long. One renamed earlier is only offered back.
        QTest::newRow("kept, each for a reason")
            << Photos{"001 - r", "a", "b", "005 - b", x249, x250}
            << Photos{"r", "gone", {"a", 9}, "..", "b", "b", x249, x250}
            << Journal{{"r", "001 - r"}} << QStringList{"b>005 - b", x249 + ">007 - " + x249}
            << QStringList{"001 - r>r"}
            << QStringList{"gone: Missing",  "a: ChangedSinceScan",  "..: LeadsOutside",
                           "b: ListedTwice", x250 + ": NameTooLong", "b: Exists"};
        QTest::newRow("two of one name swap through a free name")
            << Photos{{"001 - y", 1}, "002 - y"} << Photos{"y", {"y", 1}}
            << Journal{{"y", "001 - y"}, {"y", "002 - y"}}
            << QStringList{"002 - y>~temlo-1", "001 - y>002 - y", "~temlo-1>001 - y"}
            << QStringList{"002 - y>y", "001 - y>y"} << QStringList{};
        QTest::newRow("numbered again: names vacated, then given")
            << Photos{"001 - a", "002 - 001 - a"} << Photos{"001 - a", "a"}
            << Journal{{"a", "001 - a"}, {"001 - a", "002 - 001 - a"}}
            << QStringList{"002 - 001 - a>001 - 001 - a", "001 - a>002 - a"}
            << QStringList{"001 - a>a", "002 - 001 - a>001 - a"} << QStringList{};
    }
    void planAndRename() {
        QFETCH(Photos, files);
        QFETCH(Photos, scanned);
        QFETCH(Journal, journal);
        PhotoFolder dir;
        dir.add(files);
        std::vector<CatalogueRow> rows;
        for (const auto& p : scanned)
            rows.push_back({p.name, storedDatum(firstShot.addSecs(p.seconds))});
        const auto plan = planRenames(dir.folder(), rows, numberedNames(rows, " - "), journal);
        QTEST(texts(plan.steps), "steps");
        QTEST(texts(plan.undoSteps), "undo");
        // Two in each row.
        QCOMPARE(filesMoved(plan.steps), 2);
        QTEST(failureTexts(plan.problems) +
                  failureTexts(renameFiles(dir.folder(), plan.steps).problems),
              "problems");
    }
};

QTEST_GUILESS_MAIN(TestRenamePlan)
#include "tst_renameplan.moc"
