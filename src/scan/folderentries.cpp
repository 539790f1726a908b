#include "folderentries.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

Result<std::vector<FolderEntry>> readFolder(int folderFd, const QString& path) {
    const int readableFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = readableFd < 0 ? nullptr : ::fdopendir(readableFd);
    if (!dir) {
        const int error = errno;
        if (readableFd >= 0)
            ::close(readableFd);
        return failureOfErrno(error, path);
    }
    std::vector<FolderEntry> entries;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            entries.push_back({QByteArray(entry->d_name), entry->d_type, entry->d_ino});
        errno = 0;
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0)
        return failureOfErrno(error, path);
    return entries;
}
