#include "confirmedname.h"
#include "datum.h"
#include "directoryscan.h"
#include "scanlisttext.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestScan : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_temp;
    QString path(const QString& name = {}) const { return m_temp->path() + u'/' + name; }
    DirectoryScan scan() const { return scanDirectory(path()); }

private slots:
    void init() { m_temp = std::make_unique<QTemporaryDir>(); }

    void folderOfConfirmedName() {
        QCOMPARE(folderFromConfirmedName("/home/Léto/Select a Directory.~#~"), "/home/Léto/");
        QCOMPARE(folderFromConfirmedName("/Select a Directory.~#~"), "/");
        QCOMPARE(folderFromConfirmedName("/a/b/a name longer than the placeholder.~#~"), "/a/b/");
    }

    void listsRegularFilesAndLinksToThemOnly() {
        for (const char* file : {"file", "read-only", ".hidden"})
            writeFile(path(file), "x");
        QVERIFY(QFile::setPermissions(path("read-only"), QFile::ReadOwner));
        QVERIFY(QDir(path()).mkdir("subfolder"));
        QVERIFY(QFile::link(path("file"), path("link to file")));
        QVERIFY(QFile::link(path("subfolder"), path("link to folder")));
        QVERIFY(QFile::link(path("none"), path("broken link")));
        QCOMPARE(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0644), 0);
        const DirectoryScan found = scan();
        QVERIFY(found.error.isEmpty());
        QCOMPARE(filenames(found.files), (QStringList{"file", "link to file", "read-only"}));
    }

    void naturalOrder_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("ordered");
        // The C locale's own collator compares code points, numbers and case included.
        QTest::newRow("C locale/numbers by value")
            << "C" << QStringList{"IMG_1", "IMG_2", "IMG_10"};
        QTest::newRow("C locale/case ignored") << "C" << QStringList{"a", "B", "c"};
        QTest::newRow("Czech/C Č D") << "cs_CZ" << QStringList{"cesta", "Čtvrtek", "Dub"};
        QTest::newRow("Czech/H Ch I") << "cs_CZ" << QStringList{"hrad", "chata", "IMG_2", "IMG_10"};
        QTest::newRow("Czech/S Š Z Ž") << "cs_CZ" << QStringList{"Sova", "Šumava", "Zima", "Žďár"};
        QTest::newRow("equal/leading zeros") << "cs_CZ" << QStringList{"IMG_02", "IMG_2"};
        QTest::newRow("equal/decomposed accent")
            << "cs_CZ" << QStringList{"e\u0301.jpg", "\u00e9.jpg"};
    }
    void naturalOrder() {
        QFETCH(QString, locale);
        QFETCH(QStringList, ordered);
        for (const QString& name : ordered)
            writeFile(path(name), "");
        QCOMPARE(filenames(scanDirectory(path(), QLocale(locale)).files), ordered);
    }

    void nameNotValidUtf8IsListed() {
        const QByteArray raw = QFile::encodeName(path()) + "bad\xff.jpg";
        const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
        QCOMPARE(scan().files.size(), std::size_t(1));
        QCOMPARE(::unlink(raw.constData()), 0); // the temporary folder cannot remove such names
    }

    void moreThanAThousandFilesAreListed() {
        for (int i = 1; i <= 1001; ++i)
            writeFile(path(QString::number(i)), "");
        QCOMPARE(scan().files.size(), std::size_t(1001));
    }

    void fileVanishedAfterListingGetsEmptyDatum() {
        writeFile(path("a"), "x");
        writeFile(path("b"), "x");
        DirectoryListing listing = listOrdinaryFiles(path());
        QVERIFY(QFile::remove(path("b")));
        readTimestamps(path(), listing.files);
        const DirectoryScan found = orderedScan(std::move(listing));
        QCOMPARE(filenames(found.files), (QStringList{"a", "b"}));
        QVERIFY(!found.files[0].datum.isEmpty() && found.files[1].datum.isEmpty());
    }

    void listTextByteForByte() {
        const std::vector<CatalogueRow> rows{{"čáp.jpg", {}}, {"a\rb\nc.jpg", {}}};
        QCOMPARE(scanListText("/f/", rows).toUtf8(), QByteArray("/f/\rčáp.jpg\ra?b?c.jpg\r"));
    }

    void timestampStoredInUtcShownRegionally() {
        writeFile(path("a"), "x", {QDate(2024, 7, 1), QTime(14, 5, 9, 250)});
        const QString datum = scan().files.at(0).datum;
        QCOMPARE(datum, "2024-07-01T12:05:09.250Z");
        QCOMPARE(datumText(datum, QLocale("cs_CZ")), "01.07.2024 14:05:09");
    }

    void folderErrorIsReported() {
        writeFile(path("file"), "x");
        for (auto [name, cause] : {std::pair{"gone/", "neexistuje"}, {"file/", "není adresář"}}) {
            const DirectoryScan found = scanDirectory(path(name));
            QVERIFY(found.files.empty());
            QVERIFY2(found.error.contains(path(name)) && found.error.contains(cause),
                     qPrintable(found.error));
        }
    }
};

QTEST_GUILESS_MAIN(TestScan)
#include "tst_scan.moc"
