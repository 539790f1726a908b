#include "catalogueerror.h"
#include "datum.h"
#include "testsupport.h"

#include <QFile>
#include <QTest>
#include <sqlite3.h>
#include <unistd.h>

using Rows = std::vector<CatalogueRow>;

namespace {

const char* const seeded = "CREATE TABLE filenametab (filename TEXT, datum TEXT);"
                           "INSERT INTO filenametab VALUES ('old.jpg', NULL);";

QByteArray bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a use of the catalogue came to: "ok", the rows as "name@datum", or the cause of the
// failure when its message names the catalogue as it should (else the whole message).
QString outcome(const Catalogue& catalogue, const std::function<QString()>& use) {
    try {
        return use();
    } catch (const CatalogueError& e) {
        const QString named = QStringLiteral("Katalog „%1“: ").arg(catalogue.path());
        if (!e.message().startsWith(named) || !e.message().endsWith(u'.'))
            return e.message();
        return e.message().mid(named.size()).chopped(1).section(QStringLiteral(" ("), 0, 0);
    }
}

} // namespace

// Runs under TZ=Europe/Prague (set by the test registration).
class TestStore : public QObject {
    Q_OBJECT
private slots:
    void catalogueFaults_data() {
        QTest::addColumn<QStringList>("setup"); // SQL, "hold:" SQL left open, "bytes:", "chmod:"
        // Read, prepare, write, read, whether the file was kept, and a write once freed.
        QTest::addColumn<QString>("transcript");
        const QString notDb = "soubor není databáze", noField = "v tabulce filenametab chybí pole";
        QTest::newRow("create/missing file: a read does not create it")
            << QStringList{} << "soubor neexistuje|ok|ok|new.jpg@|changed|ok";
        QTest::newRow("create/another table beside")
            << QStringList{"CREATE TABLE other (x)"}
            << "chybí tabulka filenametab|ok|ok|new.jpg@|changed|ok";
        QTest::newRow("create/NULL fields read as empty")
            << QStringList{"CREATE TABLE filenametab (filename, datum);"
                           "INSERT INTO filenametab VALUES (NULL, NULL)"}
            << "@|ok|ok|new.jpg@|changed|ok";
        QTest::newRow("unusable/not a database")
            << QStringList{"bytes:Nejsem databáze."}
            << QStringList(4, notDb).join('|') + "|kept|" + notDb;
        QTest::newRow("unusable/field missing")
            << QStringList{"CREATE TABLE filenametab (filename TEXT)"}
            << QStringList(4, noField + " datum").join('|') + "|kept|" + noField + " datum";
        QTest::newRow("unusable/field missing, names in other case")
            << QStringList{"CREATE TABLE FileNameTab (FILENAME TEXT, x)"}
            << QStringList(4, noField + " datum").join('|') + "|kept|" + noField + " datum";
        QTest::newRow("busy/another copy mid-scan: its rows unseen, ours refused")
            << QStringList{seeded, "hold:BEGIN IMMEDIATE; DELETE FROM filenametab;"
                                   "INSERT INTO filenametab VALUES ('z.jpg', NULL)"}
            << "old.jpg@|ok|databázi právě používá jiný program|old.jpg@|kept|ok";
        QTest::newRow("permission/read-only file")
            << QStringList{seeded, "chmod:file"}
            << "old.jpg@|ok|do databáze nelze zapisovat|old.jpg@|kept|ok";
        QTest::newRow("permission/read-only folder")
            << QStringList{seeded, "chmod:folder"}
            << "old.jpg@|ok|do databáze nelze zapisovat|old.jpg@|kept|ok";
    }
    void catalogueFaults() {
        QFETCH(QStringList, setup);
        QFETCH(QString, transcript);
        if (QByteArray(QTest::currentDataTag()).startsWith("permission") && ::geteuid() == 0)
            QSKIP("root ignores permission bits; the suite runs unprivileged in CI");
        const Sandbox box;
        const Catalogue catalogue(box.path("app/temlo_files.mdb"), 50);
        sqlite3* held = nullptr;
        QString blocked;
        for (const QString& step : setup) {
            if (step.startsWith("bytes:"))
                writeFile(catalogue.path(), step.mid(6).toUtf8());
            else if (step.startsWith("chmod:"))
                blocked = step.endsWith("file") ? catalogue.path() : box.path("app");
            else if (step.startsWith("hold:"))
                held = otherConnection(catalogue.path(), qPrintable(step.mid(5)));
            else
                sqlite3_close(otherConnection(catalogue.path(), qPrintable(step)));
        }
        const auto permissions = QFile::permissions(blocked);
        QFile::setPermissions(blocked, permissions & ~(QFile::WriteOwner | QFile::WriteUser));
        const QByteArray before = bytes(catalogue.path());
        const auto read = [&] {
            QStringList rows;
            for (const CatalogueRow& row : catalogue.orderedRows())
                rows << row.filename + u'@' + row.datum;
            return rows.join(u',');
        };
        const auto prepare = [&] {
            const QString error = catalogue.prepare();
            return error.isEmpty() ? QStringLiteral("ok") : throw CatalogueError(error);
        };
        const auto write = [&](const char* name) {
            return [&catalogue, name] {
                catalogue.replaceAll(Rows{{name, ""}});
                return QStringLiteral("ok");
            };
        };
        QStringList done{outcome(catalogue, read), outcome(catalogue, prepare),
                         outcome(catalogue, write("new.jpg")), outcome(catalogue, read),
                         bytes(catalogue.path()) == before ? "kept" : "changed"};
        sqlite3_close(held);
        QFile::setPermissions(blocked, permissions);
        done << outcome(catalogue, write("again.jpg"));
        QCOMPARE(done.join(u'|'), transcript);
        if (setup.value(0).contains("other"))
            sqlite3_close(otherConnection(catalogue.path(), "SELECT x FROM other"));
    }

    void orderedReadIsChronologicalAndStable() {
        // As regional text these would sort 10.1., 2.2., 9.1.; bursts of photographs share a
        // time, and keep the order they were added in also in a large catalogue.
        Rows rows{{"feb", "2024-02-02T07:00:00.000Z"},
                  {"10th", "2024-01-10T07:00:00.000Z"},
                  {"9th", "2024-01-09T07:00:00.000Z"},
                  {"?", ""}};
        for (int i = 0; i < 120000; ++i)
            rows.push_back({QString::number(i),
                            QStringLiteral("2024-05-01T10:00:0%1.000Z").arg((i * 7919) % 3)});
        Rows expected = rows;
        std::ranges::stable_sort(expected, {}, &CatalogueRow::datum);
        const Sandbox box;
        box.catalogue().replaceAll(rows);
        box.catalogue().replaceAll(rows);
        QCOMPARE(filenames(box.catalogue().orderedRows()), filenames(expected));
        box.catalogue().replaceAll({});
        QVERIFY(box.catalogue().orderedRows().empty());
    }

    void datum_data() {
        QTest::addColumn<QDateTime>("modified"); // invalid: a text not made from a time
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("shown");
        const QDate march(2024, 3, 7);
        QTest::newRow("winter/afternoon")
            << QDateTime(march, QTime(15, 5, 9, 123)) << "2024-03-07T14:05:09.123Z"
            << "cs_CZ"
            << "07.03.24 15:05:09";
        QTest::newRow("winter/UTC midnight is no local midnight")
            << QDateTime(march, QTime(1, 0)) << "2024-03-07T00:00:00.000Z"
            << "cs_CZ"
            << "07.03.24 1:00:00";
        QTest::newRow("winter/other locale")
            << QDateTime(march, QTime(15, 5, 9)) << "2024-03-07T14:05:09.000Z"
            << "en_US"
            << "3/7/24 3:05:09 PM";
        QTest::newRow("summer/local midnight shows the date alone")
            << QDateTime(QDate(2024, 7, 1), QTime(0, 0)) << "2024-06-30T22:00:00.000Z"
            << "en_US"
            << "7/1/24";
        QTest::newRow("edge/before the epoch")
            << QDateTime::fromMSecsSinceEpoch(-1, Qt::UTC) << "1969-12-31T23:59:59.999Z"
            << "cs_CZ"
            << "01.01.70 0:59:59";
        QTest::newRow("edge/unknown time") << QDateTime() << ""
                                           << "cs_CZ"
                                           << "";
        QTest::newRow("edge/foreign text shown as it is") << QDateTime() << "7.3.2024 15:05"
                                                          << "cs_CZ"
                                                          << "7.3.2024 15:05";
    }
    void datum() {
        QFETCH(QDateTime, modified);
        QFETCH(QString, stored);
        QFETCH(QString, locale);
        QFETCH(QString, shown);
        if (modified.isValid() || stored.isEmpty())
            QCOMPARE(storedDatum(modified), stored);
        if (modified.isValid())
            QCOMPARE(datumTime(stored), modified);
        QCOMPARE(datumText(stored, QLocale(locale)), shown);
    }
};

QTEST_MAIN(TestStore)
#include "tst_store.moc"
