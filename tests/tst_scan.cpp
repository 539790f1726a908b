#include "confirmedname.h"
#include "datum.h"
#include "directoryscan.h"
#include "scanlisttext.h"
#include "testsupport.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

class TestScan : public QObject {
    Q_OBJECT
private slots:
    void folderAndNames_data() {
        QTest::addColumn<QStringList>("disk");
        QTest::addColumn<QString>("scanned"); // below the folder
        QTest::addColumn<QString>("list");    // the list box text, "%D" the folder scanned
        QTest::addColumn<QString>("error");
        QTest::newRow("kind/ordinary files and links to them only")
            << QStringList{"file",
                           "dir:subfolder",
                           ".hidden",
                           "fifo:fifo",
                           "link:link to file>file",
                           "link:to folder>subfolder",
                           "link:broken>gone"}
            << ""
            << "%D\rfile\rlink to file\r"
            << "";
        QTest::newRow("order/numbers by value, case ignored")
            << QStringList{"IMG_10", "b", "IMG_2", "A"} << ""
            << "%D\rA\rb\rIMG_2\rIMG_10\r"
            << "";
        const QString composed = QStringLiteral("Kůň \u017Elu\u0165ou\u010Dk\u00FD.jpg");
        const QString decomposed = composed.normalized(QString::NormalizationForm_D);
        QTest::newRow("name/composed and decomposed kept apart")
            << QStringList{composed, decomposed} << ""
            << "%D\r" + decomposed + "\r" + composed + "\r"
            << "";
        QTest::newRow("name/line breaks shown as ?") << QStringList{"a\rb\nc.jpg"} << ""
                                                     << "%D\ra?b?c.jpg\r"
                                                     << "";
        QTest::newRow("name/not UTF-8 still listed") << QStringList{"raw:bad\xff.jpg"} << ""
                                                     << "%D\rbad\uFFFD.jpg\r"
                                                     << "";
        QStringList many;
        for (int i = 1; i <= 1001; ++i)
            many << QString::number(i);
        QTest::newRow("count/more than a thousand") << many << ""
                                                    << "%D\r" + many.join(u'\r') + u'\r' << "";
        QTest::newRow("error/missing folder") << QStringList{} << "gone/"
                                              << "%D\r"
                                              << "Adresář „%D“ neexistuje";
        QTest::newRow("error/a file, no folder") << QStringList{"file"} << "file/"
                                                 << "%D\r"
                                                 << "„%D“ není adresář";
    }
    void folderAndNames() {
        QFETCH(QStringList, disk);
        QFETCH(QString, scanned);
        QFETCH(QString, list);
        QFETCH(QString, error);
        const Sandbox box;
        box.make(disk);
        const QString dir = box.folder() + scanned;
        const DirectoryScan scan = scanDirectory(dir);
        QCOMPARE(scanListText(dir, scan.files), list.replace("%D", dir));
        QVERIFY2(scan.error.contains(error.replace("%D", dir)), qPrintable(scan.error));
        QCOMPARE(scan.error.isEmpty(), error.isEmpty());
        for (const CatalogueRow& file : scan.files) // in UTC, to the millisecond
            QVERIFY(file.filename.contains(QChar::ReplacementCharacter)
                        ? !file.datum.isEmpty()
                        : file.datum == storedDatum(QFileInfo(dir + file.filename).lastModified()));
    }

    void fileVanishedAfterListingStaysUndated() {
        const Sandbox box;
        box.make({"a", "b"});
        DirectoryListing listing = listOrdinaryFiles(box.folder());
        QVERIFY(QFile::remove(box.folder() + "b"));
        readTimestamps(box.folder(), listing.files);
        const DirectoryScan found = orderedScan(std::move(listing));
        QCOMPARE(filenames(found.files), (QStringList{"a", "b"}));
        QVERIFY(!found.files[0].datum.isEmpty() && found.files[1].datum.isEmpty());
    }

    void folderOfConfirmedName_data() {
        QTest::addColumn<QString>("confirmed");
        QTest::addColumn<QString>("folder");
        QTest::newRow("placeholder") << "/home/Léto/Select a Directory.~#~"
                                     << "/home/Léto/";
        QTest::newRow("placeholder in the root") << "/Select a Directory.~#~"
                                                 << "/";
        QTest::newRow("typed name") << "/a/b/a name longer than the placeholder.~#~"
                                    << "/a/b/";
    }
    void folderOfConfirmedName() {
        QFETCH(QString, confirmed);
        QFETCH(QString, folder);
        QCOMPARE(folderFromConfirmedName(confirmed), folder);
    }
};

QTEST_GUILESS_MAIN(TestScan)
#include "tst_scan.moc"
