#pragma once

#include <QString>

// Where this user's catalogue lives: beside the executable when the user may write in its
// folder (a portable copy, the build folder); otherwise in the user's own data folder, made
// when missing. A catalogue beside an executable in a folder the user cannot write is never
// used: an installed program could not keep it, and it may hold another user's file names.
QString cataloguePath(const QString& appPath);
