#pragma once

#include "catalogue.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <vector>

// An ordinary file as the listing found it.
struct ListedFile {
    QByteArray rawName; // as the file system holds it, which need not be valid UTF-8
    QString datum;      // stored form; empty until read, and when it cannot be read
};

struct DirectoryListing {
    std::vector<ListedFile> files;
    Result<void> listed; // whether the folder was read whole
};

struct DirectoryScan {
    std::vector<CatalogueRow> files; // in the user's name order
    Result<void> listed;
};

// The regular files and links to regular files directly in `dirpath`, in the file system's
// order. Hidden files (leading "."), folders, sockets, pipes, devices and broken links are
// left out; subfolders are not entered.
DirectoryListing listOrdinaryFiles(const QString& dirpath);

// Reads each file's modification time; a file gone or unreadable since the listing keeps
// an empty datum.
void readTimestamps(const QString& dirpath, std::vector<ListedFile>& files);

// Decodes the names and puts the files in the name order of `locale` (see nameCollator);
// names that collate alike keep one fixed order.
DirectoryScan orderedScan(DirectoryListing listing, const QLocale& locale = QLocale());

// Lists, stamps and orders the ordinary files of `dirpath`.
DirectoryScan scanDirectory(const QString& dirpath, const QLocale& locale = QLocale());
