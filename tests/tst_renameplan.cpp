#include "datum.h"
#include "fixture.h"
#include "numberedlist.h"
#include "renameplan.h"
#include "renamer.h"

#include <QRegularExpression>
#include <QTest>

using Journal = std::vector<RenamedName>;

// "source>target", a temporary name without its random part.
static QStringList texts(const std::vector<RenameStep>& steps) {
    static const QRegularExpression random(QStringLiteral("~temlo-[0-9a-f]{12}-"));
    QStringList texts;
    for (const RenameStep& step : steps)
        texts << QFile::decodeName(step.source + '>' + step.target).replace(random, "~temlo-");
    return texts;
}

class TestRenamePlan : public QObject {
    Q_OBJECT
private slots:
    void planAndRename_data() {
        QTest::addColumn<Photos>("files");
        QTest::addColumn<Photos>("rows");
        QTest::addColumn<Journal>("journal");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("undo");
        QTest::addColumn<qsizetype>("moved");
        QTest::addColumn<QStringList>("problems");      // of the plan, then of renaming
        const QString x249(249, u'x'), x250(250, u'x'); // with the number 255 and 256 bytes
        // Kept: a file gone, changed since the scan, leading out, listed twice, its new name taken
        // or longer than 255 bytes. One renamed earlier is only offered back.
        QTest::newRow("refused") << Photos{"001 - r", "a", "b", "005 - b", x249, x250}
                                 << Photos{"r", "gone", {"a", 9}, "..", "b", "b", x249, x250}
                                 << Journal{{"r", "001 - r"}}
                                 << QStringList{"b>005 - b", x249 + ">007 - " + x249}
                                 << QStringList{"001 - r>r"} << qsizetype(2)
                                 << QStringList{"gone: Missing",        "a: ChangedSinceScan",
                                                "..: LeadsOutside",     "b: ListedTwice",
                                                x250 + ": NameTooLong", "b: Exists"};
        // Two files of one name swap numbers through a free name.
        QTest::newRow("cycle") << Photos{{"001 - y", 1}, "002 - y"} << Photos{"y", {"y", 1}}
                               << Journal{{"y", "001 - y"}, {"y", "002 - y"}}
                               << QStringList{"002 - y>~temlo-1", "001 - y>002 - y",
                                              "~temlo-1>001 - y"}
                               << QStringList{"002 - y>y", "001 - y>y"} << qsizetype(2)
                               << QStringList{};
        // A numbered file numbered again: each name is vacated before it is given.
        QTest::newRow("chains") << Photos{"001 - a", "002 - 001 - a"} << Photos{"001 - a", "a"}
                                << Journal{{"a", "001 - a"}, {"001 - a", "002 - 001 - a"}}
                                << QStringList{"002 - 001 - a>001 - 001 - a", "001 - a>002 - a"}
                                << QStringList{"001 - a>a", "002 - 001 - a>001 - a"} << qsizetype(2)
                                << QStringList{};
    }
    void planAndRename() {
        QFETCH(Photos, files);
        QFETCH(Photos, rows);
        QFETCH(Journal, journal);
        PhotoFolder photos;
        photos.add(files);
        std::vector<CatalogueRow> catalogue;
        for (const Photo& row : rows)
            catalogue.push_back({row.name, storedDatum(firstShot.addSecs(row.seconds))});
        const QStringList names = numberedNames(catalogue, " - ");
        const RenamePlan plan = planRenames(photos.folder(), catalogue, names, journal);
        QTEST(texts(plan.steps), "steps");
        QTEST(texts(plan.undoSteps), "undo");
        QTEST(filesMoved(plan.steps), "moved");
        QTEST(failureTexts(plan.problems) +
                  failureTexts(renameFiles(photos.folder(), plan.steps).problems),
              "problems");
    }
};

QTEST_GUILESS_MAIN(TestRenamePlan)
#include "tst_renameplan.moc"
