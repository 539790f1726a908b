#pragma once

// Renames `from` to `to` within the folder `folderFd` atomically, never replacing a file that
// has the name `to` already. Returns 0, or the errno value of the failure.
int renameNoReplace(int folderFd, const char* from, const char* to);

// The same through a hard link and the removal of the old name, for file systems that do not
// offer the no-replace rename. In between the file has both names, never neither.
int linkThenUnlink(int folderFd, const char* from, const char* to);
