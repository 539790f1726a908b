#pragma once

#include "failure.h"

#include <QString>
#include <span>
#include <vector>

struct CatalogueRow {
    QString filename;
    QString datum; // stored form (see datum.h); empty when unknown

    bool operator==(const CatalogueRow&) const = default;
};

// A name the program gave a file of a folder, and the name the file had before.
struct RenamedName {
    QString original;
    QString numbered;

    bool operator==(const RenamedName&) const = default;
};

// The scan that wrote the catalogue: its folder and a token unique to that write.
struct ScanMark {
    QString folder;
    QString token;
};

struct CatalogueRead {
    std::vector<CatalogueRow> rows;
    ScanMark mark; // empty when the rows were written without one
};

// The catalogue table `filenametab` in its database file, with the journal of the names the
// program gave (`renamed`) and the mark of the last scan (`scanmark`) beside it.
// Every operation opens its own connection, so a file that was replaced, removed or
// locked meanwhile is met afresh, and each read sees one whole committed catalogue.
// Failures name the catalogue file as their subject and carry SQLite's words.
class Catalogue {
public:
    static constexpr int defaultBusyTimeoutMs = 3000;

    explicit Catalogue(QString path, int busyTimeoutMs = defaultBusyTimeoutMs);

    const QString& path() const { return m_path; }

    // Creates the file and the table when missing, and checks that `filenametab` has
    // its fields. A file that is not such a catalogue is never changed.
    Result<void> prepare() const;

    // Either all the new rows replace the old ones, or the old ones stay whole. A row whose
    // name the journal records as given in `folder` is stored under the file's original
    // name. Returns the mark written with the rows.
    Result<ScanMark> replaceAll(std::span<const CatalogueRow> rows,
                                const QString& folder = {}) const;

    // The rows in ascending `datum`, rows with equal `datum` in the order they were added,
    // and the mark of the scan that wrote them, read together.
    Result<CatalogueRead> orderedRead() const;

    // The journal's names given in `folder`.
    Result<std::vector<RenamedName>> renamedIn(const QString& folder) const;
    // In one transaction: records the names about to be given and forgets names gone.
    Result<void> recordRenames(const QString& folder, std::span<const RenamedName> given,
                               std::span<const QString> gone) const;

private:
    QString m_path;
    int m_busyTimeoutMs;
};
