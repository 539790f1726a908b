#pragma once

#include "failure.h"

#include <QString>

// An open folder. Every look-up and rename goes through it, so all of them meet the same
// folder even if its path is renamed or replaced meanwhile.
class FolderHandle {
public:
    explicit FolderHandle(const QString& path);
    ~FolderHandle();
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    // Why the folder could not be opened, for a file `name` of it.
    Failure failure(const QString& name) const;

private:
    int m_fd = -1;
    int m_error = 0;
};
