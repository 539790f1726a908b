#include "folderhandle.h"

#include "fileerror.h"

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

QString FolderHandle::errorText() const {
    if (m_error == ENOENT || m_error == ENOTDIR)
        return QStringLiteral("složka už neexistuje");
    return QStringLiteral("složku nelze otevřít: ") + fileErrorText(m_error);
}
