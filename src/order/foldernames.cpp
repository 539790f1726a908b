#include "foldernames.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

std::optional<QSet<QByteArray>> readFolderNames(int folderFd) {
    const int readableFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = readableFd < 0 ? nullptr : ::fdopendir(readableFd);
    if (!dir) {
        if (readableFd >= 0)
            ::close(readableFd);
        return std::nullopt;
    }
    QSet<QByteArray> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir))
        names.insert(QByteArray(entry->d_name));
    const bool complete = errno == 0;
    ::closedir(dir);
    return complete ? std::optional(std::move(names)) : std::nullopt;
}
