#pragma once

// The ways of giving a file of an open folder a new name without replacing a file that has
// that name already, strongest first. Each returns 0, or the errno value of the failure.

// One atomic rename that the kernel refuses when the name is taken. EINVAL where the file
// system does not offer it (FUSE mounts), ENOSYS on kernels without it.
int renameNoReplace(int folderFd, const char* from, const char* to);

// A hard link under the new name, which the kernel refuses when the name is taken...
int linkNewName(int folderFd, const char* from, const char* to);
// ...then the removal of the old name. Between the two the file has both names, never
// neither. When the old name cannot be removed, the new one is taken back; `bothNames` tells
// whether that failed too.
int unlinkOldName(int folderFd, const char* from, const char* to, bool& bothNames);

// A look for the new name immediately before a plain rename, for file systems without hard
// links. Only another program creating exactly that name in between could be replaced. The
// file keeps its modification time also where the file system would stamp it anew.
int checkThenRename(int folderFd, const char* from, const char* to);

// Tests stand in for a crash by letting only `calls` more system calls of the functions above
// be made; the later ones change nothing and fail with ECANCELED, and once the limit is
// reached renamingCrashed() keeps the sort action from writing to the journal, as a crash
// would. A negative count lifts the limit.
void limitRenamingCalls(int calls);
bool renamingCrashed();
