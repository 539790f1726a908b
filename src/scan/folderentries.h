#pragma once

#include "failure.h"

#include <QByteArray>
#include <QString>
#include <sys/types.h>
#include <vector>

// A folder's entry as the file system lists it.
struct FolderEntry {
    QByteArray name;    // as the file system holds it, which need not be valid UTF-8
    unsigned char type; // DT_REG, DT_LNK, …; DT_UNKNOWN where the file system does not say
    ino_t inode;        // as listed; FAT through FUSE may give every entry the same one
};

// Every entry of an open folder (any descriptor of it, O_PATH too) but "." and "..", in the
// file system's order. A failure names `path`.
Result<std::vector<FolderEntry>> readFolder(int folderFd, const QString& path);
