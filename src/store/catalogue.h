#pragma once

#include <QString>
#include <span>
#include <vector>

struct CatalogueRow {
    QString filename;
    QString datum; // stored form (see datum.h); empty when unknown
};

// The catalogue table `filenametab` in the database file beside the executable.
// Every operation opens its own connection, so a file that was replaced, removed or
// locked meanwhile is met afresh, and each read sees one whole committed catalogue.
// Failures are thrown as CatalogueError.
class Catalogue {
public:
    static constexpr int defaultBusyTimeoutMs = 3000;

    explicit Catalogue(QString path, int busyTimeoutMs = defaultBusyTimeoutMs);

    const QString& path() const { return m_path; }

    // Creates the file and the table when missing, and checks that the table has
    // its fields. An existing file is never rewritten. Returns the error text, or
    // an empty text when the catalogue is usable.
    QString prepare() const;

    // Either all the new rows replace the old ones, or the old ones stay whole.
    void replaceAll(std::span<const CatalogueRow> rows) const;

    // The rows in ascending `datum`; rows with equal `datum` in the order they were added.
    std::vector<CatalogueRow> orderedRows() const;

private:
    QString m_path;
    int m_busyTimeoutMs;
};
