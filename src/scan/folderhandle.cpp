#include "folderhandle.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

FolderHandle::FolderHandle(const QString& path) {
    // O_PATH is enough for the *at calls and needs no read permission on the folder.
    m_fd = ::open(QFile::encodeName(path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        m_error = errno;
}

FolderHandle::~FolderHandle() {
    if (m_fd >= 0)
        ::close(m_fd);
}

Failure FolderHandle::failure(const QString& name) const {
    if (m_error == ENOENT || m_error == ENOTDIR)
        return {Fault::FolderGone, name, {}};
    return failureOfErrno(m_error, name);
}
