#pragma once

#include <QByteArray>
#include <QSet>
#include <optional>

// The names of all entries of an open folder (see FolderHandle), or nothing when it cannot
// be read.
std::optional<QSet<QByteArray>> readFolderNames(int folderFd);
