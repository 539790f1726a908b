#pragma once

#include "catalogue.h"

#include <QStringList>
#include <functional>
#include <vector>

// A crash between the link and the unlink of a rename (see noreplace.h) leaves a file of
// `folder` under two names. Where two names the journal gives to one original (the original
// and a name given, or two names given) are one file, same device and inode, the extra name is
// removed: the original is kept, else a numbered name before a temporary one. Names of
// different files are never touched. The journal is read only when entries of the folder share
// an inode number. Returns the names removed.
// Names a rename gives a file for a moment, to break a cycle, start with this.
constexpr char temporaryPrefix[] = "~temlo-";
bool isTemporaryName(const QByteArray& name);

QStringList removeDoubledNames(const QString& folder,
                               const std::function<std::vector<RenamedName>()>& journal);
