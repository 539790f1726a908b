#include "browseaction.h"
#include "fixture.h"
#include "sortaction.h"

#include <QTest>

using Offers = QList<std::pair<qsizetype, qsizetype>>; // files to rename, files to restore
// Besides the sort: another scan of the folder after ours, or another connection writing the
// catalogue.
enum class Twist { None, OtherScan, Locked };

class View : public ScanView, public SortView {
public:
    void showScan(const QString&, std::span<const CatalogueRow>) override {}
    void showNumbered(const QStringList& names) override { shown = names; }
    RenameChoice ask(const RenameOffer& offer) override { // always "Přejmenovat"
        offers.push_back({offer.toRename, offer.toRestore});
        return RenameChoice::Rename;
    }
    QStringList shown;
    Offers offers;
};

class TestSortAction : public QObject {
    Q_OBJECT
private slots:
    void sortCatalogue_data() {
        QTest::addColumn<Twist>("twist");
        QTest::addColumn<Offers>("offers");
        QTest::addColumn<QString>("journal"); // its fault, when it could not be written
        QTest::addColumn<QStringList>("disk");
        const QStringList original{"a=a", "b=b", "c=c"};
        const QStringList renamed{"001 - c=c", "002 - a=a", "003 - b=b"};
        QTest::newRow("renamed") << Twist::None << Offers{{3, 0}} << "" << renamed;
        QTest::newRow("other scan") << Twist::OtherScan << Offers{} << "" << original;
        QTest::newRow("journal locked") << Twist::Locked << Offers{{3, 0}} << "InUse" << original;
    }
    void sortCatalogue() {
        QFETCH(Twist, twist);
        PhotoFolder photos;
        photos.add({{"a", 60}, {"b", 120}, {"c", 0}});
        const Catalogue catalogue(photos.catalogue().path(), 100);
        StandInChooser chooser(photos.folder());
        View view;
        const auto scanned = browseFolder(chooser, {}, catalogue, view);
        QVERIFY(scanned && scanned->written.ok());
        if (twist == Twist::OtherScan)
            QVERIFY(browseFolder(chooser, {}, catalogue, view)->written.ok());
        SQLite::Database other = connection(catalogue);
        if (twist == Twist::Locked)
            other.exec("BEGIN IMMEDIATE");
        const auto outcome = ::sortCatalogue(catalogue, scanned->written.value(), " - ", view);
        QVERIFY(outcome.ok());
        QCOMPARE(view.shown, QStringList({"001 - c", "002 - a", "003 - b"}));
        QTEST(view.offers, "offers");
        QCOMPARE(outcome.value().otherScan, twist == Twist::OtherScan ? photos.folder() : "");
        const Result<void>& journal = outcome.value().journal;
        QTEST(journal.ok() ? QString() : faultName(journal.failure().fault), "journal");
        QTEST(photos.disk(), "disk");
    }
};

QTEST_GUILESS_MAIN(TestSortAction)
#include "tst_sortaction.moc"
