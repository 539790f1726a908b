#include "datum.h"
#include "fixture.h"
#include "numberedlist.h"
#include "renameplan.h"
#include "renamer.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>
#include <unistd.h>

using Journal = std::vector<RenamedName>;

namespace {

// "source>target", a temporary name without its random part.
QStringList texts(const std::vector<RenameStep>& steps) {
    static const QRegularExpression random(QStringLiteral("~temlo-[0-9a-f]{12}-"));
    QStringList texts;
    for (const RenameStep& step : steps)
        texts << QFile::decodeName(step.source + '>' + step.target).replace(random, "~temlo-");
    return texts;
}

RenamePlan plan(const QString& folder, const Photos& photos, const Journal& journal = {}) {
    std::vector<CatalogueRow> rows;
    for (const Photo& photo : photos)
        rows.push_back({photo.name, storedDatum(firstShot.addSecs(photo.seconds))});
    return planRenames(folder, rows, numberedNames(rows, QStringLiteral(" - ")), journal);
}

// The problems of the plan, then those of running its steps.
QStringList rename(const QString& folder, const RenamePlan& plan) {
    return failureTexts(plan.problems) + failureTexts(renameFiles(folder, plan.steps).problems);
}

} // namespace

class TestRenamePlan : public QObject {
    Q_OBJECT
private slots:
    void planAndRename_data() {
        QTest::addColumn<Photos>("files");
        QTest::addColumn<Photos>("rows");
        QTest::addColumn<Journal>("journal");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("undo");
        QTest::addColumn<QStringList>("problems");
        QTest::addColumn<QStringList>("disk");
        const QString x249(249, u'x'), x250(250, u'x');
        const QString u1 = "\xc5\xaf", u2 = "u\xcc\x8a", nl = "a\rb\nc"; // composed, decomposed
        const QString lookalike = "a\xef\xbf\xbd"; // what a name of bytes not UTF-8 reads as

        QTest::newRow("refused; renamed earlier")
            << Photos{"001 - r", "001 - s", "a", "b", "005 - b"}
            << Photos{"r", "s", "gone", {"a", 9}, "b", "b"} << Journal{{"r", "001 - r"}}
            << QStringList{"b>005 - b"} << QStringList{"001 - r>r"}
            << QStringList{"s: Missing", "gone: Missing", "a: ChangedSinceScan", "b: ListedTwice",
                           "b: Exists"}
            << QStringList{"001 - r=001 - r", "001 - s=001 - s", "005 - b=005 - b", "a=a", "b=b"};
        QTest::newRow("cycle") << Photos{{"001 - y", 1}, "002 - y"} << Photos{"y", {"y", 1}}
                               << Journal{{"y", "001 - y"}, {"y", "002 - y"}}
                               << QStringList{"002 - y>~temlo-1", "001 - y>002 - y",
                                              "~temlo-1>001 - y"}
                               << QStringList{"002 - y>y", "001 - y>y"} << QStringList{}
                               << QStringList{"001 - y=002 - y", "002 - y=001 - y"};
        QTest::newRow("chains") << Photos{"001 - a", "002 - 001 - a"} << Photos{"001 - a", "a"}
                                << Journal{{"a", "001 - a"}, {"001 - a", "002 - 001 - a"}}
                                << QStringList{"002 - 001 - a>001 - 001 - a", "001 - a>002 - a"}
                                << QStringList{"001 - a>a", "002 - 001 - a>001 - a"}
                                << QStringList{}
                                << QStringList{"001 - 001 - a=002 - 001 - a", "002 - a=001 - a"};
        QTest::newRow("255 bytes") << Photos{x249, x250} << Photos{x249, x250} << Journal{}
                                   << QStringList{x249 + ">001 - " + x249} << QStringList{}
                                   << QStringList{x250 + ": NameTooLong"}
                                   << QStringList{"001 - " + x249 + '=' + x249, x250 + '=' + x250};
        QTest::newRow("unsafe names")
            << Photos{"../x", lookalike} << Photos{"../x", "a/b", ".", "..", "", lookalike}
            << Journal{} << QStringList{} << QStringList{}
            << QStringList{"../x: LeadsOutside", "a/b: LeadsOutside", ".: LeadsOutside",
                           "..: LeadsOutside",   ": LeadsOutside",    lookalike + ": InvalidName"}
            << QStringList{lookalike + '=' + lookalike};
        QTest::newRow("exact names")
            << Photos{u1, u2, nl} << Photos{u1, u2, nl} << Journal{}
            << QStringList{u1 + ">001 - " + u1, u2 + ">002 - " + u2, nl + ">003 - " + nl}
            << QStringList{} << QStringList{}
            << QStringList{"001 - " + u1 + '=' + u1, "002 - " + u2 + '=' + u2,
                           "003 - " + nl + '=' + nl};
    }

    void planAndRename() {
        QFETCH(Photos, files);
        QFETCH(Photos, rows);
        QFETCH(Journal, journal);
        PhotoFolder photos;
        photos.add(files);
        const RenamePlan planned = plan(photos.folder(), rows, journal);
        QTEST(texts(planned.steps), "steps");
        QTEST(texts(planned.undoSteps), "undo");
        QTEST(rename(photos.folder(), planned), "problems");
        QTEST(photos.disk(), "disk");
    }

    void linksAndFolders() {
        PhotoFolder photos;
        photos.add("t", 0);
        QVERIFY(QDir(photos.folder()).mkdir("d"));
        QVERIFY(QFile::link("gone", photos.folder() + "broken"));
        QVERIFY(QFile::link("d", photos.folder() + "dirlink"));
        QVERIFY(QFile::link("t", photos.folder() + "l"));
        const RenamePlan planned = plan(photos.folder(), {"d", "broken", "dirlink", "l"});
        QCOMPARE(rename(photos.folder(), planned),
                 QStringList({"d: NotOrdinary", "broken: BrokenLink", "dirlink: NotOrdinary"}));
        QCOMPARE(photos.disk(), QStringList({"004 - l=t", "broken=?", "t=t"}));
    }

    void folderNotWritableLosesNothing() {
        if (::geteuid() == 0)
            QSKIP("root writes in any folder");
        PhotoFolder photos;
        photos.add({"a", "b"});
        const auto readable = QFile::ReadOwner | QFile::ExeOwner;
        QVERIFY(QFile::setPermissions(photos.folder(), readable));
        const QStringList problems = rename(photos.folder(), plan(photos.folder(), {"a", "b"}));
        QVERIFY(QFile::setPermissions(photos.folder(), readable | QFile::WriteOwner));
        QCOMPARE(problems, QStringList({"a: Denied", "b: Denied"}));
        QCOMPARE(photos.disk(), QStringList({"a=a", "b=b"}));
    }

    void numbering() {
        QStringList texts;
        for (const int sequence : {1, 9, 10, 99, 100, 999, 1000})
            texts << numberText(sequence);
        QCOMPARE(texts, QStringList({"001", "009", "010", "099", "100", "999", "1000"}));
    }

    void namesGivenLeaveOutOriginals() {
        const std::vector<RenameStep> steps{{"a", "1a", "~t"}, {"a", "~t", "2a"}, {"c", "3c", "c"}};
        QStringList given;
        for (const RenamedName& name : namesGiven(steps))
            given << name.original + u'>' + name.numbered;
        QCOMPARE(given, QStringList({"a>~t", "a>2a"}));
    }
};

QTEST_GUILESS_MAIN(TestRenamePlan)
#include "tst_renameplan.moc"
