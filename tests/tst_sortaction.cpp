#include "browseaction.h"
#include "fixture.h"
#include "sortaction.h"

#include <QTest>
#include <SQLiteCpp/Database.h>

using Offers = QList<std::pair<qsizetype, qsizetype>>; // files to rename, files to restore
using Choices = QList<RenameChoice>;
using Changes = QList<Photos>;
// What else happens in each run: nothing, the scan's mark not passed on, another scan of the
// folder after ours, the catalogue locked by another connection while the question is open.
enum class Twist { None, NoScan, OtherScan, Locked };

namespace {

class View : public ScanView, public SortView {
public:
    void showScan(const QString&, std::span<const CatalogueRow>) override {}
    void showNumbered(const QStringList& names) override { shown = names; }
    RenameChoice ask(const RenameOffer& offer) override {
        offers.push_back({offer.toRename, offer.toRestore});
        if (!lockPath.isEmpty())
            lock.emplace(lockPath.toStdString(), SQLite::OPEN_READWRITE).exec("BEGIN IMMEDIATE");
        return answer;
    }
    RenameChoice answer{};
    QString lockPath;
    QStringList shown;
    Offers offers;
    std::optional<SQLite::Database> lock;
};

// The problems, then whether the journal failed.
QStringList problemTexts(const SortOutcome& outcome) {
    QStringList texts = failureTexts(outcome.problems);
    if (!outcome.journal.ok())
        texts << "journal: " + faultName(outcome.journal.failure().fault);
    return texts;
}

const Photos three{{"a", 60}, {"b", 120}, {"c", 0}}; // their names not in time order

} // namespace

class TestSortAction : public QObject {
    Q_OBJECT
private slots:
    void sortCatalogue_data() {
        QTest::addColumn<Photos>("files");
        QTest::addColumn<Choices>("answers"); // each after a scan of the folder
        QTest::addColumn<Changes>("changes"); // made after each answer
        QTest::addColumn<Twist>("twist");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<Offers>("offers");
        QTest::addColumn<RenameChoice>("done");
        QTest::addColumn<QStringList>("problems");
        QTest::addColumn<QStringList>("disk");
        using enum RenameChoice;
        using enum Twist;
        const QStringList numbered{"001 - c", "002 - a", "003 - b"};
        const QStringList original{"a=a", "b=b", "c=c"};
        const QStringList renamed{"001 - c=c", "002 - a=a", "003 - b=b"};
        const QString x250(250, u'x');

        QTest::newRow("empty") << Photos{} << Choices{Rename} << Changes{} << None << QStringList{}
                               << Offers{} << Keep << QStringList{} << QStringList{};
        QTest::newRow("no scan") << three << Choices{Rename} << Changes{} << NoScan << numbered
                                 << Offers{} << Keep << QStringList{} << original;
        QTest::newRow("other scan") << three << Choices{Rename} << Changes{} << OtherScan
                                    << numbered << Offers{} << Keep << QStringList{} << original;
        QTest::newRow("declined") << three << Choices{Keep} << Changes{} << None << numbered
                                  << Offers{{3, 0}} << Keep << QStringList{} << original;
        QTest::newRow("accepted") << three << Choices{Rename} << Changes{} << None << numbered
                                  << Offers{{3, 0}} << Rename << QStringList{} << renamed;
        QTest::newRow("renumbered, one edited")
            << three << Choices{Rename, Rename}
            << Changes{{{"0", -60}, {"d", 600}, {"002 - a", 700}}} << None
            << QStringList{"001 - 0", "002 - c", "003 - b", "004 - d", "005 - a"}
            << Offers{{3, 0}, {4, 3}} << Rename << QStringList{}
            << QStringList{"001 - 0=0", "002 - c=c", "003 - b=b", "004 - d=d", "005 - a=002 - a"};
        QTest::newRow("swapped") << three << Choices{Rename, Rename, Rename, Keep}
                                 << Changes{{{"c", 30, "new"}}, {{"002 - c", -60, "new"}}} << None
                                 << QStringList{"001 - c", "002 - c", "003 - a", "004 - b"}
                                 << Offers{{3, 0}, {3, 3}, {2, 4}, {0, 4}} << Keep << QStringList{}
                                 << QStringList{"001 - c=new", "002 - c=c", "003 - a=a",
                                                "004 - b=b"};
        QTest::newRow("undone") << three << Choices{Rename, Undo, Keep}
                                << Changes{{}, {{"001 - c", 300}}} << None
                                << QStringList{"001 - c", "002 - a", "003 - b", "004 - 001 - c"}
                                << Offers{{3, 0}, {0, 3}, {4, 0}} << Keep << QStringList{}
                                << QStringList{"001 - c=001 - c", "a=a", "b=b", "c=c"};
        QTest::newRow("undo onto a taken name")
            << three << Choices{Rename, Undo} << Changes{{{"b", 30, "new"}}} << None
            << QStringList{"001 - c", "002 - b", "003 - a", "004 - b"} << Offers{{3, 0}, {3, 3}}
            << Undo << QStringList{"b: Exists"} << QStringList{"003 - b=b", "a=a", "b=new", "c=c"};
        QTest::newRow("equal times, one too long")
            << Photos{{"c", 0}, {"b", 0}, {"a", 0}, {x250, 0}} << Choices{Rename, Keep} << Changes{}
            << None << QStringList{"001 - a", "002 - b", "003 - c", "004 - " + x250}
            << Offers{{3, 0}, {0, 3}} << Keep << QStringList{}
            << QStringList{"001 - a=a", "002 - b=b", "003 - c=c", x250 + '=' + x250};
        QTest::newRow("nothing renamable")
            << Photos{{x250, 0}} << Choices{Rename} << Changes{} << None
            << QStringList{"001 - " + x250} << Offers{} << Keep
            << QStringList{x250 + ": NameTooLong"} << QStringList{x250 + '=' + x250};
        QTest::newRow("journal locked")
            << three << Choices{Rename} << Changes{} << Locked << numbered << Offers{{3, 0}} << Keep
            << QStringList{"journal: InUse"} << original;
    }

    void sortCatalogue() {
        QFETCH(Photos, files);
        QFETCH(Choices, answers);
        QFETCH(Changes, changes);
        QFETCH(Twist, twist);
        PhotoFolder photos;
        photos.add(files);
        const Catalogue catalogue(photos.catalogue().path(), 100);
        StandInChooser chooser(photos.folder());
        View view;
        view.lockPath = twist == Twist::Locked ? catalogue.path() : QString();
        std::optional<Result<SortOutcome>> outcome;
        for (qsizetype run = 0; run < answers.size(); ++run) {
            const auto scanned = browseFolder(chooser, {}, catalogue, view);
            QVERIFY(scanned && scanned->written.ok());
            if (twist == Twist::OtherScan)
                QVERIFY(browseFolder(chooser, {}, catalogue, view)->written.ok());
            const ScanMark ownScan = twist == Twist::NoScan ? ScanMark{} : scanned->written.value();
            view.answer = answers[run];
            outcome.emplace(::sortCatalogue(catalogue, ownScan, " - ", view));
            QVERIFY(outcome->ok());
            photos.add(changes.value(run));
        }
        QTEST(view.shown, "shown");
        QTEST(view.offers, "offers");
        QTEST(outcome->value().done, "done");
        QCOMPARE(outcome->value().otherScan, twist == Twist::OtherScan ? photos.folder() : "");
        QTEST(problemTexts(outcome->value()), "problems");
        QTEST(photos.disk(), "disk");
    }
};

QTEST_GUILESS_MAIN(TestSortAction)
#include "tst_sortaction.moc"
