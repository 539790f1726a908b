#pragma once

#include <QString>

// A file name as one line of a list or printout: control characters (a line break inside a
// name, say) show as "?", so that every name keeps a line of its own. The stored name and
// the file on disk keep them.
QString shownName(const QString& name);
