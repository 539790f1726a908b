#include "browseaction.h"
#include "fixture.h"
#include "sortaction.h"

#include <QDir>
#include <QTest>
#include <SQLiteCpp/Database.h>

// A file the test makes: its name, time in seconds after firstShot and content (its name).
struct Photo {
    QString name;
    int seconds;
    QByteArray content = {};
};
using Photos = QList<Photo>;
using Offers = QList<std::pair<qsizetype, qsizetype>>; // files to rename, files to restore
using Choices = QList<RenameChoice>;
// What else happens in each run: nothing, the scan's mark not passed on, another scan of the
// folder after ours, the catalogue locked by another connection while the question is open.
enum class Twist { None, NoScan, OtherScan, Locked };

namespace {

class NoScanView : public ScanView {
    void showScan(const QString&, std::span<const CatalogueRow>) override {}
};

class View : public SortView {
public:
    void showNumbered(const QStringList& names) override { shown = names; }
    RenameChoice ask(const RenameOffer& offer) override {
        offers.push_back({offer.toRename, offer.toRestore});
        folder = offer.folder;
        if (!lockPath.isEmpty())
            lock.emplace(lockPath.toStdString(), SQLite::OPEN_READWRITE).exec("BEGIN IMMEDIATE");
        return answer;
    }
    RenameChoice answer = RenameChoice::Keep;
    QString lockPath;
    QStringList shown;
    Offers offers;
    QString folder;
    std::optional<SQLite::Database> lock;
};

// The problems, then whether another scan came between or the journal failed.
QStringList problemTexts(const SortOutcome& outcome) {
    QStringList texts = failureTexts(outcome.problems);
    if (!outcome.otherScan.isEmpty())
        texts << "other scan: " + QDir(outcome.otherScan).dirName();
    if (!outcome.journal.ok())
        texts << "journal: " + faultName(outcome.journal.failure().fault);
    return texts;
}

const Photos three{{"b10", 60}, {"b2", 120}, {"\xc4\x8d", 0}};
const QString c = "\xc4\x8d"; // a name that does not sort by its code

} // namespace

class TestSortAction : public QObject {
    Q_OBJECT
private slots:
    void sortCatalogue_data() {
        QTest::addColumn<Photos>("files");
        QTest::addColumn<Choices>("answers");       // each after a scan of the folder
        QTest::addColumn<QList<Photos>>("changes"); // made after each answer
        QTest::addColumn<Twist>("twist");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<Offers>("offers");
        QTest::addColumn<RenameChoice>("done");
        QTest::addColumn<QStringList>("problems");
        QTest::addColumn<QStringList>("disk");
        using enum RenameChoice;
        const QStringList numbered{"001 - " + c, "002 - b10", "003 - b2"};
        const QStringList original{"b10=b10", "b2=b2", c + '=' + c};
        const QStringList renamed{"001 - " + c + '=' + c, "002 - b10=b10", "003 - b2=b2"};
        const QString x250(250, u'x');

        QTest::newRow("empty") << Photos{} << Choices{Rename} << QList<Photos>{} << Twist::None
                               << QStringList{} << Offers{} << Keep << QStringList{}
                               << QStringList{};
        QTest::newRow("no scan") << three << Choices{Rename} << QList<Photos>{} << Twist::NoScan
                                 << numbered << Offers{} << Keep << QStringList{} << original;
        QTest::newRow("other scan")
            << three << Choices{Rename} << QList<Photos>{} << Twist::OtherScan << numbered
            << Offers{} << Keep << QStringList{"other scan: photos"} << original;
        QTest::newRow("declined") << three << Choices{Keep} << QList<Photos>{} << Twist::None
                                  << numbered << Offers{{3, 0}} << Keep << QStringList{}
                                  << original;
        QTest::newRow("accepted") << three << Choices{Rename} << QList<Photos>{} << Twist::None
                                  << numbered << Offers{{3, 0}} << Rename << QStringList{}
                                  << renamed;
        QTest::newRow("renumbered")
            << three << Choices{Rename, Rename} << QList<Photos>{{{"0", -60}, {"d", 600}}}
            << Twist::None
            << QStringList{"001 - 0", "002 - " + c, "003 - b10", "004 - b2", "005 - d"}
            << Offers{{3, 0}, {5, 3}} << Rename << QStringList{}
            << QStringList{"001 - 0=0", "002 - " + c + '=' + c, "003 - b10=b10", "004 - b2=b2",
                           "005 - d=d"};
        QTest::newRow("edited") << three << Choices{Rename, Rename}
                                << QList<Photos>{{{"002 - b10", 600}}} << Twist::None
                                << QStringList{"001 - " + c, "002 - b2", "003 - b10"}
                                << Offers{{3, 0}, {2, 3}} << Rename << QStringList{}
                                << QStringList{"001 - " + c + '=' + c, "002 - b2=b2",
                                               "003 - b10=002 - b10"};
        QTest::newRow("swapped") << three << Choices{Rename, Rename, Rename}
                                 << QList<Photos>{{{c, 30, "new"}}, {{"002 - " + c, -60, "new"}}}
                                 << Twist::None
                                 << QStringList{"001 - " + c, "002 - " + c, "003 - b10", "004 - b2"}
                                 << Offers{{3, 0}, {3, 3}, {2, 4}} << Rename << QStringList{}
                                 << QStringList{"001 - " + c + "=new", "002 - " + c + '=' + c,
                                                "003 - b10=b10", "004 - b2=b2"};
        QTest::newRow("undone") << three << Choices{Rename, Undo} << QList<Photos>{} << Twist::None
                                << numbered << Offers{{3, 0}, {0, 3}} << Undo << QStringList{}
                                << original;
        QTest::newRow("undo onto a taken name")
            << three << Choices{Rename, Undo} << QList<Photos>{{{"b2", 30, "new"}}} << Twist::None
            << QStringList{"001 - " + c, "002 - b2", "003 - b10", "004 - b2"}
            << Offers{{3, 0}, {3, 3}} << Undo << QStringList{"b2: Exists"}
            << QStringList{"003 - b2=b2", "b10=b10", "b2=new", c + '=' + c};
        QTest::newRow("equal times")
            << Photos{{"b10", 0}, {"b2", 0}, {c, 0}} << Choices{Rename, Keep} << QList<Photos>{}
            << Twist::None << QStringList{"001 - b2", "002 - b10", "003 - " + c}
            << Offers{{3, 0}, {0, 3}} << Keep << QStringList{}
            << QStringList{"001 - b2=b2", "002 - b10=b10", "003 - " + c + '=' + c};
        QTest::newRow("nothing renamable")
            << Photos{{x250, 0}} << Choices{Rename} << QList<Photos>{} << Twist::None
            << QStringList{"001 - " + x250} << Offers{} << Keep
            << QStringList{x250 + ": NameTooLong"} << QStringList{x250 + '=' + x250};
        QTest::newRow("journal locked")
            << three << Choices{Rename} << QList<Photos>{} << Twist::Locked << numbered
            << Offers{{3, 0}} << Keep << QStringList{"journal: InUse"} << original;
    }

    void sortCatalogue() {
        QFETCH(Photos, files);
        QFETCH(Choices, answers);
        QFETCH(QList<Photos>, changes);
        QFETCH(Twist, twist);
        PhotoFolder photos;
        for (const Photo& photo : files)
            photos.add(photo.name, photo.seconds, photo.content);
        const Catalogue catalogue(photos.catalogue().path(), 100);
        StandInChooser chooser(photos.folder());
        NoScanView scanView;
        View view;
        view.lockPath = twist == Twist::Locked ? catalogue.path() : QString();
        std::optional<SortOutcome> outcome;
        for (qsizetype run = 0; run < answers.size(); ++run) {
            const auto scanned = browseFolder(chooser, {}, catalogue, scanView);
            QVERIFY(scanned && scanned->written.ok());
            if (twist == Twist::OtherScan)
                QVERIFY(browseFolder(chooser, {}, catalogue, scanView)->written.ok());
            const ScanMark ownScan = twist == Twist::NoScan ? ScanMark{} : scanned->written.value();
            view.answer = answers[run];
            const Result<SortOutcome> sorted = ::sortCatalogue(catalogue, ownScan, " - ", view);
            QVERIFY(sorted.ok());
            outcome = sorted.value();
            for (const Photo& photo : changes.value(run))
                photos.add(photo.name, photo.seconds, photo.content);
        }
        QTEST(view.shown, "shown");
        QTEST(view.offers, "offers");
        QCOMPARE(view.folder, view.offers.isEmpty() ? QString() : photos.folder());
        QTEST(outcome->done, "done");
        QTEST(problemTexts(*outcome), "problems");
        QTEST(photos.disk(), "disk");
    }
};

QTEST_GUILESS_MAIN(TestSortAction)
#include "tst_sortaction.moc"
