#include "browseaction.h"
#include "fixture.h"
#include "sortaction.h"

#include <QTest>

// Besides the sort: another scan of the folder after ours, or another connection writing the
// catalogue.
enum Twist { None, OtherScan, Locked };

// Always answers "Přejmenovat", and keeps how many files each question offered to rename.
struct View : ScanView, SortView {
    void showScan(const QString&, std::span<const CatalogueRow>) override {}
    void showNumbered(const QStringList&) override {}
    RenameChoice ask(const RenameOffer& offer) override {
        offers << offer.toRename;
        return RenameChoice::Rename;
    }
    QList<int> offers;
};

class TestSortAction : public QObject {
    Q_OBJECT
private slots:
    void sortCatalogue_data() {
        QTest::addColumn<Twist>("twist");
        QTest::addColumn<QList<int>>("offers");
        // Its fault, when it could not be written.
        QTest::addColumn<QString>("journal");
        QTest::addColumn<QStringList>("disk");
        const QStringList original{"a=a", "b=b", "c=c"};
        QTest::newRow("renamed") << None << QList<int>{3} << ""
                                 << QStringList{"001 - c=c", "002 - a=a", "003 - b=b"};
        QTest::newRow("other scan") << OtherScan << QList<int>{} << "" << original;
        QTest::newRow("journal locked") << Locked << QList<int>{3} << "InUse" << original;
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
        if (twist == OtherScan)
            QVERIFY(browseFolder(chooser, {}, catalogue, view)->written.ok());
        auto other = connection(catalogue);
        if (twist == Locked)
            other.exec("BEGIN IMMEDIATE");
        const auto sorted = ::sortCatalogue(catalogue, scanned->written.value(), " - ", view);
        QVERIFY(sorted.ok());
        QTEST(view.offers, "offers");
        const auto& outcome = sorted.value();
        QCOMPARE(outcome.otherScan, twist == OtherScan ? photos.folder() : "");
        QTEST(outcome.journal.ok() ? "" : faultName(outcome.journal.failure().fault), "journal");
        QTEST(photos.disk(), "disk");
    }
};

QTEST_GUILESS_MAIN(TestSortAction)
#include "tst_sortaction.moc"
