#include "catalogue.h"
#include "catalogueerror.h"
#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>
#include <unistd.h>

using Rows = std::vector<CatalogueRow>;

// Runs SQL on the file through a connection of its own, as another program would.
static void execRaw(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    QVERIFY2(sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK, sqlite3_errmsg(db));
    sqlite3_close(db);
}

static QByteArray bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The message of the CatalogueError thrown by writing one row; empty when none is thrown.
static QString failure(const Catalogue& catalogue, const char* filename) {
    try {
        catalogue.replaceAll(Rows{{filename, ""}});
    } catch (const CatalogueError& e) {
        return e.message();
    }
    return {};
}

class TestCatalogue : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = m_dir->filePath(QStringLiteral("temlo_files.mdb"));
    }

    void createsTableAndReopens_data() {
        QTest::addColumn<bool>("existingDatabase");
        QTest::newRow("create/missing file") << false;
        QTest::newRow("create/database with another table") << true;
    }
    void createsTableAndReopens() {
        QFETCH(bool, existingDatabase);
        const Catalogue catalogue(m_path);
        if (existingDatabase)
            execRaw(m_path, "CREATE TABLE other (x); INSERT INTO other VALUES (42);");
        else // an ordered read does not create it
            QVERIFY_THROWS_EXCEPTION(CatalogueError, catalogue.orderedRows());
        QCOMPARE(QFile::exists(m_path), existingDatabase);
        QCOMPARE(catalogue.prepare(), QString());
        execRaw(m_path, "INSERT INTO filenametab VALUES (NULL, NULL);");
        const Rows read = catalogue.orderedRows(); // NULLs read as empty texts
        QVERIFY(read.size() == 1 && read[0].filename.isEmpty() && read[0].datum.isEmpty());
        catalogue.replaceAll(Rows{{"a.jpg", "2024-01-01T00:00:00.000Z"}});
        QCOMPARE(Catalogue(m_path).prepare(), QString());
        QCOMPARE(filenames(catalogue.orderedRows()), QStringList{"a.jpg"});
        if (existingDatabase)
            execRaw(m_path, "SELECT x FROM other;");
    }

    void unusableFileIsReportedAndLeftUntouched_data() {
        QTest::addColumn<QByteArray>("content"); // SQL to run, or the file's bytes
        QTest::addColumn<QString>("cause");
        QTest::newRow("not a database") << QByteArray("Nejsem databáze.") << "soubor není databáze";
        QTest::newRow("zero-filled") << QByteArray(4096, '\0') << "soubor není databáze";
        QTest::newRow("field missing")
            << QByteArray("CREATE TABLE filenametab (filename TEXT);") << "chybí pole datum";
        QTest::newRow("field missing, other case")
            << QByteArray("CREATE TABLE FileNameTab (FILENAME TEXT, x);") << "chybí pole datum";
    }
    void unusableFileIsReportedAndLeftUntouched() {
        QFETCH(QByteArray, content);
        QFETCH(QString, cause);
        if (content.startsWith("CREATE"))
            execRaw(m_path, content.constData());
        else
            writeFile(m_path, content);
        const QByteArray before = bytes(m_path);
        const Catalogue catalogue(m_path);
        const QString error = catalogue.prepare();
        QVERIFY2(error.contains(cause) && error.contains(m_path), qPrintable(error));
        QVERIFY_THROWS_EXCEPTION(CatalogueError, catalogue.orderedRows());
        QVERIFY(!failure(catalogue, "a").isEmpty());
        QCOMPARE(bytes(m_path), before);
    }

    void replaceAllKeepsOneChronologicalCopy() {
        // As regional text these would sort 10.1., 2.2., 9.1.; stored, they sort by time.
        const Rows rows{{"feb", "2024-02-02T07:00:00.000Z"},
                        {"10th", "2024-01-10T07:00:00.000Z"},
                        {"9th", "2024-01-09T07:00:00.000Z"},
                        {"?", ""}};
        const Catalogue catalogue(m_path);
        catalogue.replaceAll(rows);
        catalogue.replaceAll(rows);
        QCOMPARE(filenames(catalogue.orderedRows()), (QStringList{"?", "9th", "10th", "feb"}));
        catalogue.replaceAll({});
        QVERIFY(catalogue.orderedRows().empty());
    }

    void equalDatesKeepAppendOrder() {
        // Bursts of photographs share a timestamp; their order must survive in a large catalogue.
        Rows rows;
        for (int i = 0; i < 120000; ++i)
            rows.push_back({QString::number(119999 - i),
                            QStringLiteral("2024-05-01T10:00:0%1.000Z").arg((i * 7919) % 3)});
        Rows expected = rows;
        std::ranges::stable_sort(expected, {}, &CatalogueRow::datum);
        const Catalogue catalogue(m_path);
        catalogue.replaceAll(rows);
        QCOMPARE(filenames(catalogue.orderedRows()), filenames(expected));
    }

    void failedReplaceKeepsOldRows_data() {
        QTest::addColumn<QString>("blocked");
        QTest::newRow("locked by another program") << "lock";
        QTest::newRow("permission/read-only file") << "file";
        QTest::newRow("permission/read-only folder") << "folder";
    }
    void failedReplaceKeepsOldRows() {
        QFETCH(QString, blocked);
        if (blocked != "lock" && ::geteuid() == 0)
            QSKIP("root ignores permission bits; the suite runs unprivileged in CI");
        const Catalogue catalogue(m_path, 50);
        catalogue.replaceAll(Rows{{"old.jpg", ""}});
        const QString protectedPath = blocked == "folder" ? m_dir->path() : m_path;
        const auto permissions = QFile::permissions(protectedPath);
        sqlite3* other = nullptr;
        if (blocked == "lock") {
            QCOMPARE(sqlite3_open(m_path.toUtf8().constData(), &other), SQLITE_OK);
            QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        } else {
            QVERIFY(QFile::setPermissions(protectedPath,
                                          permissions & ~(QFile::WriteOwner | QFile::WriteUser)));
        }
        const QString error = failure(catalogue, "new.jpg");
        sqlite3_close(other);
        QVERIFY(QFile::setPermissions(protectedPath, permissions));
        const QString cause = blocked == "lock" ? "jiný program" : "zapisovat";
        QVERIFY2(error.contains(cause) && error.contains(m_path), qPrintable(error));
        QCOMPARE(filenames(catalogue.orderedRows()), QStringList{"old.jpg"});
        catalogue.replaceAll(Rows{{"new.jpg", ""}});
        QCOMPARE(filenames(catalogue.orderedRows()), QStringList{"new.jpg"});
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
