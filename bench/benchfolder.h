#pragma once

#include <QString>

// A folder of `count` files whose modification times are all distinct and in another order
// than their names. Made once and reused while it is complete.
QString ensureBenchFolder(const QString& root, int count);

// A copy whose names can be changed without touching `folder` (hard links: fast, and the
// copies keep the modification times).
QString linkedCopy(const QString& folder, const QString& target);

// Milliseconds a shell command takes; the command must succeed.
double shellMilliseconds(const QString& command);
