#include "catalogue.h"
#include "catalogueerror.h"
#include "datum.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>
#include <unistd.h>

namespace {

QByteArray fileHash(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Runs SQL on the file through a connection of its own, as another program would.
void execRaw(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    const QString message = QString::fromUtf8(error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(message));
}

QStringList filenames(const std::vector<CatalogueRow>& rows) {
    QStringList names;
    for (const auto& row : rows)
        names << row.filename;
    return names;
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    void init();
    void createsFileAndTableWhenMissing();
    void createsTableInExistingDatabase();
    void unusableFileIsReportedAndLeftUntouched_data();
    void unusableFileIsReportedAndLeftUntouched();
    void orderedReadIsChronological();
    void equalDatesKeepAppendOrder();
    void nullsReadAsEmptyText();
    void replaceAllLeavesNoDuplicates();
    void failedReplaceKeepsPreviousCatalogue();
    void orderedReadOfMissingFileFails();
    void writeProtectionIsReportedAndCatalogueKept_data();
    void writeProtectionIsReportedAndCatalogueKept();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestCatalogue::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(QStringLiteral("temlo_files.mdb"));
}

void TestCatalogue::createsFileAndTableWhenMissing() {
    Catalogue catalogue(m_path);
    QCOMPARE(catalogue.prepare(), QString());
    QVERIFY(QFile::exists(m_path));
    QVERIFY(catalogue.orderedRows().empty());
    // A second start finds the catalogue as the first left it.
    catalogue.replaceAll(std::vector<CatalogueRow>{{"a.jpg", "2024-01-01T00:00:00.000Z"}});
    QCOMPARE(Catalogue(m_path).prepare(), QString());
    QCOMPARE(filenames(catalogue.orderedRows()), QStringList{"a.jpg"});
}

void TestCatalogue::createsTableInExistingDatabase() {
    execRaw(m_path, "CREATE TABLE other (x); INSERT INTO other VALUES (42);");
    QCOMPARE(Catalogue(m_path).prepare(), QString());
    execRaw(m_path, "SELECT filename, datum FROM filenametab; SELECT x FROM other;");
}

void TestCatalogue::unusableFileIsReportedAndLeftUntouched_data() {
    QTest::addColumn<QByteArray>("setupSql");
    QTest::addColumn<QByteArray>("rawContent");
    QTest::addColumn<QString>("expectedCause");

    QTest::newRow("not a database")
        << QByteArray() << QByteArray("Nejsem databáze.\n", 17) << "soubor není databáze";
    QTest::newRow("zero-filled") << QByteArray() << QByteArray(4096, '\0')
                                 << "soubor není databáze";
    QTest::newRow("field missing") << QByteArray("CREATE TABLE filenametab (filename TEXT);")
                                   << QByteArray() << "chybí pole datum";
    QTest::newRow("field missing, other case")
        << QByteArray("CREATE TABLE FileNameTab (FILENAME TEXT, other TEXT);") << QByteArray()
        << "chybí pole datum";
}

void TestCatalogue::unusableFileIsReportedAndLeftUntouched() {
    QFETCH(QByteArray, setupSql);
    QFETCH(QByteArray, rawContent);
    QFETCH(QString, expectedCause);
    if (setupSql.isEmpty()) {
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(rawContent);
    } else {
        execRaw(m_path, setupSql.constData());
    }
    const QByteArray before = fileHash(m_path);

    Catalogue catalogue(m_path);
    const QString error = catalogue.prepare();
    QVERIFY2(error.contains(expectedCause), qPrintable(error));
    QVERIFY2(error.contains(m_path), qPrintable(error));
    QVERIFY_THROWS_EXCEPTION(CatalogueError, catalogue.orderedRows());
    QVERIFY_THROWS_EXCEPTION(CatalogueError,
                             catalogue.replaceAll(std::vector<CatalogueRow>{{"a", ""}}));
    QCOMPARE(fileHash(m_path), before);
}

void TestCatalogue::orderedReadIsChronological() {
    // As regional text these would sort 10.1., 2.2., 9.1.; stored, they sort by time.
    const std::vector<CatalogueRow> rows{
        {"february.jpg", storedDatum(QDateTime(QDate(2024, 2, 2), QTime(8, 0)))},
        {"tenth.jpg", storedDatum(QDateTime(QDate(2024, 1, 10), QTime(8, 0)))},
        {"ninth.jpg", storedDatum(QDateTime(QDate(2024, 1, 9), QTime(8, 0)))},
        {"last year.jpg", storedDatum(QDateTime(QDate(2023, 12, 31), QTime(23, 59, 59, 999)))},
    };
    Catalogue catalogue(m_path);
    catalogue.replaceAll(rows);
    QCOMPARE(filenames(catalogue.orderedRows()),
             (QStringList{"last year.jpg", "ninth.jpg", "tenth.jpg", "february.jpg"}));
}

void TestCatalogue::equalDatesKeepAppendOrder() {
    // A burst of photographs shares one timestamp; their order must survive, also in a
    // catalogue of many thousand rows.
    std::vector<CatalogueRow> rows;
    for (int i = 0; i < 120000; ++i)
        rows.push_back({QStringLiteral("z%1.jpg").arg(119999 - i),
                        QStringLiteral("2024-05-01T10:00:0%1.000Z").arg((i * 7919) % 3)});
    std::vector<CatalogueRow> expected = rows;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& a, const auto& b) { return a.datum < b.datum; });
    Catalogue catalogue(m_path);
    catalogue.replaceAll(rows);
    QCOMPARE(filenames(catalogue.orderedRows()), filenames(expected));
}

void TestCatalogue::nullsReadAsEmptyText() {
    Catalogue catalogue(m_path);
    QCOMPARE(catalogue.prepare(), QString());
    execRaw(m_path, "INSERT INTO filenametab VALUES (NULL, NULL);"
                    "INSERT INTO filenametab VALUES ('b.jpg', '2024-01-01T00:00:00.000Z');");
    const auto read = catalogue.orderedRows();
    QCOMPARE(read.size(), size_t(2));
    QCOMPARE(read[0].filename, QString());
    QCOMPARE(read[0].datum, QString());
    QCOMPARE(read[1].filename, QStringLiteral("b.jpg"));
}

void TestCatalogue::replaceAllLeavesNoDuplicates() {
    const std::vector<CatalogueRow> rows{{"a.jpg", "2024-01-01T00:00:00.000Z"}, {"b.jpg", ""}};
    Catalogue catalogue(m_path);
    catalogue.replaceAll(rows);
    catalogue.replaceAll(rows);
    QCOMPARE(filenames(catalogue.orderedRows()), (QStringList{"b.jpg", "a.jpg"}));
    catalogue.replaceAll({});
    QVERIFY(catalogue.orderedRows().empty());
}

void TestCatalogue::failedReplaceKeepsPreviousCatalogue() {
    Catalogue catalogue(m_path, 50);
    catalogue.replaceAll(std::vector<CatalogueRow>{{"old.jpg", ""}});

    sqlite3* other = nullptr;
    QCOMPARE(sqlite3_open(m_path.toUtf8().constData(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    try {
        catalogue.replaceAll(std::vector<CatalogueRow>{{"new.jpg", ""}});
        QFAIL("a locked catalogue was written");
    } catch (const CatalogueError& e) {
        QVERIFY2(e.message().contains(QStringLiteral("jiný program")), qPrintable(e.message()));
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QCOMPARE(filenames(catalogue.orderedRows()), QStringList{"old.jpg"});
}

void TestCatalogue::orderedReadOfMissingFileFails() {
    try {
        Catalogue(m_path).orderedRows();
        QFAIL("a missing catalogue was read");
    } catch (const CatalogueError& e) {
        QVERIFY(e.message().contains(QStringLiteral("soubor neexistuje")));
    }
    QVERIFY(!QFile::exists(m_path));
}

void TestCatalogue::writeProtectionIsReportedAndCatalogueKept_data() {
    QTest::addColumn<bool>("protectFolder");
    QTest::newRow("permission/read-only file") << false;
    QTest::newRow("permission/read-only folder") << true;
}

void TestCatalogue::writeProtectionIsReportedAndCatalogueKept() {
    QFETCH(bool, protectFolder);
    if (::geteuid() == 0)
        QSKIP("root ignores permission bits; the suite runs unprivileged in CI");
    Catalogue catalogue(m_path);
    catalogue.replaceAll(std::vector<CatalogueRow>{{"old.jpg", ""}});
    const QString protectedPath = protectFolder ? m_dir->path() : m_path;
    const auto permissions = QFile::permissions(protectedPath);
    QVERIFY(QFile::setPermissions(protectedPath,
                                  permissions & ~(QFile::WriteOwner | QFile::WriteUser)));
    try {
        catalogue.replaceAll(std::vector<CatalogueRow>{{"new.jpg", ""}});
        QFile::setPermissions(protectedPath, permissions);
        QFAIL("a write-protected catalogue was written");
    } catch (const CatalogueError& e) {
        QVERIFY2(e.message().contains(m_path), qPrintable(e.message()));
        QVERIFY2(e.message().contains(QStringLiteral("zapisovat")), qPrintable(e.message()));
    }
    QCOMPARE(filenames(catalogue.orderedRows()), QStringList{"old.jpg"});

    QVERIFY(QFile::setPermissions(protectedPath, permissions));
    catalogue.replaceAll(std::vector<CatalogueRow>{{"new.jpg", ""}});
    QCOMPARE(filenames(catalogue.orderedRows()), QStringList{"new.jpg"});
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
