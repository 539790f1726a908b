#include "directoryscan.h"
#include "fixture.h"

#include <QTest>

class TestDirectoryScan : public QObject {
    Q_OBJECT
private slots:
    // Ordinary files and links to them, a link with the time of its file.
    void listsOrdinaryFiles() {
        const PhotoFolder photos;
        const QString dir = photos.folder();
        photos.add({"b", ".hidden"});
        writeFile(dir + "old", {}, QDateTime(QDate(1969, 12, 31), QTime(23, 59, 59), Qt::UTC));
        QVERIFY(QDir(dir).mkdir("d") && QFile::link(dir + "d", dir + "to d"));
        QVERIFY(QFile::link(dir + "old", dir + "to old") && QFile::link("none", dir + "broken"));
        const DirectoryScan scan = scanDirectory(dir, QLocale::c());
        QCOMPARE(column(scan.files), QStringList({"b", "old", "to old"}));
        const QString old = "1969-12-31T23:59:59.000Z";
        QCOMPARE(column(scan.files, &CatalogueRow::datum),
                 QStringList({"2024-03-07T08:05:09.123Z", old, old}));
    }

    void nameOrder_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("listed"); // in the file system's order
        QTest::addColumn<QStringList>("ordered");
        // Names that collate alike (leading zeros, composed and decomposed accents) come in
        // one order, whatever the file system's.
        QTest::newRow("C") << "C" << QStringList{"IMG_10", "é", "b", "IMG_2", "IMG_02", "e\u0301"}
                           << QStringList{"b", "e\u0301", "é", "IMG_02", "IMG_2", "IMG_10"};
        const QStringList czech{"cesta", "Čtvrtek", "hrad", "chata", "Sova", "Šumava", "Žďár"};
        QTest::newRow("cs_CZ") << "cs_CZ" << QStringList(czech.crbegin(), czech.crend()) << czech;
    }
    void nameOrder() {
        QFETCH(QString, locale);
        QFETCH(QStringList, listed);
        DirectoryListing listing;
        for (const QString& name : listed)
            listing.files.push_back({QFile::encodeName(name), {}});
        QTEST(column(orderedScan(std::move(listing), QLocale(locale)).files), "ordered");
    }
};

QTEST_GUILESS_MAIN(TestDirectoryScan)
#include "tst_directoryscan.moc"
