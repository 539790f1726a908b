#include "catalogue.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QUuid>
#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

namespace {

constexpr auto orderedReadSql = "select filename,datum from filenametab order by datum asc";

// No index on `datum`: reading 100,000 rows through one (a table lookup per row) takes about
// three times as long as SQLite's sort, whose merge keeps rows of equal `datum` in the order
// they were added.
// SQLite's sort spills to temporary files once it outgrows the page cache; 64 MiB keeps the
// sort of several hundred thousand rows in memory, and is only taken as far as needed.
constexpr auto orderedReadCacheSql = "PRAGMA cache_size = -65536";

constexpr auto createTableSql =
    "CREATE TABLE IF NOT EXISTS filenametab (filename TEXT, datum TEXT)";

// Created by the writes that need them, so that a catalogue that cannot be written still
// opens and reads. The journal is keyed by folder and given name: the scan looks a name up,
// and a name embeds its original, so one row per name is enough.
constexpr auto createJournalSql =
    "CREATE TABLE IF NOT EXISTS renamed (folder TEXT NOT NULL, original TEXT NOT NULL, "
    "numbered TEXT NOT NULL, PRIMARY KEY (folder, numbered));"
    "CREATE TABLE IF NOT EXISTS scanmark (folder TEXT, token TEXT)";

enum class Missing { Fail, Create };

Fault faultOfSqlite(int code) {
    switch (code & 0xff) {
    case SQLITE_NOTADB:
        return Fault::NotADatabase;
    case SQLITE_CORRUPT:
        return Fault::Corrupt;
    case SQLITE_READONLY:
        return Fault::ReadOnly;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Fault::InUse;
    case SQLITE_CANTOPEN:
        return Fault::CannotOpen;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return Fault::Denied;
    case SQLITE_FULL:
        return Fault::DiskFull;
    case SQLITE_IOERR:
        return Fault::IoError;
    default:
        return Fault::DatabaseError;
    }
}

// SQLiteCpp reports by exceptions; they end at this file's edge as failures.
template <typename Work> auto guarded(const QString& path, Work work) -> decltype(work()) {
    try {
        return work();
    } catch (const SQLite::Exception& e) {
        return Failure{faultOfSqlite(e.getErrorCode()), path, QString::fromUtf8(e.what())};
    }
}

// The table's field names in lower case; none when the table is missing.
QStringList fieldNames(SQLite::Database& db) {
    QStringList names;
    SQLite::Statement info(db, "PRAGMA table_info(filenametab)");
    while (info.executeStep())
        names << QString::fromUtf8(info.getColumn(1).getText()).toLower();
    return names;
}

Result<SQLite::Database> connect(const QString& path, int busyTimeoutMs, Missing missing) {
    if (missing == Missing::Fail && !QFileInfo::exists(path))
        return Failure{Fault::Missing, path, {}};
    return guarded(path, [&]() -> Result<SQLite::Database> {
        const int create = missing == Missing::Create ? SQLite::OPEN_CREATE : 0;
        SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE | create, busyTimeoutMs);
        const QStringList fields = fieldNames(db);
        for (const auto* field : {"filename", "datum"})
            if (!fields.isEmpty() && !fields.contains(QLatin1String(field)))
                return Failure{Fault::FieldMissing, path, QLatin1String(field)};
        if (fields.isEmpty() && missing == Missing::Fail)
            return Failure{Fault::TableMissing, path, {}};
        if (fields.isEmpty())
            db.exec(createTableSql);
        return db;
    });
}

// Opens the catalogue and runs `work` on it; a failure of either is the result.
template <typename T, typename Work>
Result<T> withDatabase(const QString& path, int busyTimeoutMs, Missing missing, Work work) {
    Result<SQLite::Database> db = connect(path, busyTimeoutMs, missing);
    if (!db.ok())
        return db.failure();
    return guarded(path, [&]() -> Result<T> { return work(db.value()); });
}

void bindText(SQLite::Statement& statement, int index, const QString& text) {
    if (text.isEmpty())
        statement.bind(index);
    else
        statement.bind(index, text.toStdString());
}

QString columnText(const SQLite::Column& column) {
    return QString::fromUtf8(column.getText());
}

bool hasTable(SQLite::Database& db, const char* name) {
    SQLite::Statement query(db, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?");
    query.bind(1, name);
    return query.executeStep();
}

// One form per folder, however the path was written.
std::string folderKey(const QString& folder) {
    return QDir::cleanPath(folder).toStdString();
}

std::vector<RenamedName> journalOf(SQLite::Database& db, const QString& folder) {
    std::vector<RenamedName> names;
    if (!hasTable(db, "renamed"))
        return names;
    SQLite::Statement read(db, "SELECT original, numbered FROM renamed WHERE folder=?");
    read.bind(1, folderKey(folder));
    while (read.executeStep())
        names.push_back({columnText(read.getColumn(0)), columnText(read.getColumn(1))});
    return names;
}

QHash<QString, QString> originalsByName(SQLite::Database& db, const QString& folder) {
    QHash<QString, QString> originals;
    if (folder.isEmpty())
        return originals;
    for (const RenamedName& entry : journalOf(db, folder))
        originals.insert(entry.numbered, entry.original);
    return originals;
}

void writeRows(SQLite::Database& db, std::span<const CatalogueRow> rows, const QString& folder) {
    const QHash<QString, QString> originals = originalsByName(db, folder);
    db.exec("DELETE FROM filenametab");
    SQLite::Statement insert(db, "INSERT INTO filenametab (filename, datum) VALUES (?, ?)");
    for (const CatalogueRow& row : rows) {
        insert.bind(1, originals.value(row.filename, row.filename).toStdString());
        bindText(insert, 2, row.datum);
        insert.exec();
        insert.reset();
    }
}

ScanMark writeMark(SQLite::Database& db, const QString& folder) {
    ScanMark mark{folder, QUuid::createUuid().toString(QUuid::WithoutBraces)};
    db.exec("DELETE FROM scanmark");
    SQLite::Statement insert(db, "INSERT INTO scanmark (folder, token) VALUES (?, ?)");
    insert.bind(1, mark.folder.toStdString());
    insert.bind(2, mark.token.toStdString());
    insert.exec();
    return mark;
}

ScanMark readMark(SQLite::Database& db) {
    if (!hasTable(db, "scanmark"))
        return {};
    SQLite::Statement read(db, "SELECT folder, token FROM scanmark");
    if (!read.executeStep())
        return {};
    return {columnText(read.getColumn(0)), columnText(read.getColumn(1))};
}

} // namespace

Catalogue::Catalogue(QString path, int busyTimeoutMs)
    : m_path(std::move(path)), m_busyTimeoutMs(busyTimeoutMs) {}

Result<void> Catalogue::prepare() const {
    return withDatabase<void>(m_path, m_busyTimeoutMs, Missing::Create,
                              [](SQLite::Database&) { return Result<void>(); });
}

Result<ScanMark> Catalogue::replaceAll(std::span<const CatalogueRow> rows,
                                       const QString& folder) const {
    return withDatabase<ScanMark>(m_path, m_busyTimeoutMs, Missing::Create, [&](auto& db) {
        SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);
        db.exec(createJournalSql);
        writeRows(db, rows, folder);
        ScanMark mark = writeMark(db, folder);
        transaction.commit();
        return mark;
    });
}

Result<CatalogueRead> Catalogue::orderedRead() const {
    return withDatabase<CatalogueRead>(m_path, m_busyTimeoutMs, Missing::Fail, [](auto& db) {
        CatalogueRead result;
        db.exec(orderedReadCacheSql);
        SQLite::Transaction snapshot(db);
        result.mark = readMark(db);
        SQLite::Statement read(db, orderedReadSql);
        while (read.executeStep())
            result.rows.push_back({columnText(read.getColumn(0)), columnText(read.getColumn(1))});
        snapshot.commit();
        return result;
    });
}

Result<std::vector<RenamedName>> Catalogue::renamedIn(const QString& folder) const {
    return withDatabase<std::vector<RenamedName>>(m_path, m_busyTimeoutMs, Missing::Fail,
                                                  [&](auto& db) { return journalOf(db, folder); });
}

Result<void> Catalogue::recordRenames(const QString& folder, std::span<const RenamedName> given,
                                      std::span<const QString> gone) const {
    return withDatabase<void>(m_path, m_busyTimeoutMs, Missing::Create, [&](auto& db) {
        SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);
        db.exec(createJournalSql);
        const std::string key = folderKey(folder);
        SQLite::Statement forget(db, "DELETE FROM renamed WHERE folder=? AND numbered=?");
        for (const QString& name : gone) {
            forget.bind(1, key);
            forget.bind(2, name.toStdString());
            forget.exec();
            forget.reset();
        }
        SQLite::Statement record(
            db, "INSERT OR REPLACE INTO renamed (folder, original, numbered) VALUES (?, ?, ?)");
        for (const RenamedName& name : given) {
            record.bind(1, key);
            record.bind(2, name.original.toStdString());
            record.bind(3, name.numbered.toStdString());
            record.exec();
            record.reset();
        }
        transaction.commit();
        return Result<void>();
    });
}
