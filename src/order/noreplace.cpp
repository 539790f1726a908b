#include "noreplace.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

int renameNoReplace(int folderFd, const char* from, const char* to) {
    return ::renameat2(folderFd, from, folderFd, to, RENAME_NOREPLACE) == 0 ? 0 : errno;
}

int linkThenUnlink(int folderFd, const char* from, const char* to) {
    if (::linkat(folderFd, from, folderFd, to, 0) != 0)
        return errno;
    if (::unlinkat(folderFd, from, 0) == 0)
        return 0;
    const int error = errno;
    // Leave the file as it was rather than with two names.
    ::unlinkat(folderFd, to, 0);
    return error;
}
