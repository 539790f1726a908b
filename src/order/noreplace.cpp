#include "noreplace.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<int> callsLeft = -1;

// Whether the next system call may be made (see limitRenamingCalls).
bool mayCall() {
    int left = callsLeft.load();
    while (left > 0 && !callsLeft.compare_exchange_weak(left, left - 1)) {
    }
    return left != 0;
}

int result(int returned) {
    return returned == 0 ? 0 : errno;
}

} // namespace

int renameNoReplace(int folderFd, const char* from, const char* to) {
    if (!mayCall())
        return ECANCELED;
    return result(::renameat2(folderFd, from, folderFd, to, RENAME_NOREPLACE));
}

int linkNewName(int folderFd, const char* from, const char* to) {
    if (!mayCall())
        return ECANCELED;
    return result(::linkat(folderFd, from, folderFd, to, 0));
}

int unlinkOldName(int folderFd, const char* from, const char* to, bool& bothNames) {
    bothNames = false;
    if (!mayCall())
        return ECANCELED;
    if (::unlinkat(folderFd, from, 0) == 0)
        return 0;
    const int error = errno;
    // Leave the file as it was rather than with two names.
    bothNames = !mayCall() || ::unlinkat(folderFd, to, 0) != 0;
    return error;
}

int checkThenRename(int folderFd, const char* from, const char* to) {
    struct stat file {};
    if (!mayCall())
        return ECANCELED;
    if (::fstatat(folderFd, from, &file, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    struct stat taken {};
    if (!mayCall())
        return ECANCELED;
    // On a file system that ignores case this also finds the name in another case.
    if (::fstatat(folderFd, to, &taken, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    if (!mayCall())
        return ECANCELED;
    if (::renameat(folderFd, from, folderFd, to) != 0)
        return errno;
    // Some file systems (fusefat) stamp a renamed file with the present time; the photograph's
    // own is given back. Both times are set: FUSE's high-level library ignores a change of the
    // modification time alone.
    const timespec times[2] = {{0, UTIME_NOW}, file.st_mtim};
    if (mayCall())
        ::utimensat(folderFd, to, times, AT_SYMLINK_NOFOLLOW);
    return 0;
}

void limitRenamingCalls(int calls) {
    callsLeft = calls;
}

bool renamingCrashed() {
    return callsLeft.load() == 0;
}
