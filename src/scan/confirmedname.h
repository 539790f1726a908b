#pragma once

#include <QString>

// The folder of a name confirmed in the folder chooser, ending in "/": the folder the
// dialog showed, whether the placeholder stayed or the user typed a name of their own.
QString folderFromConfirmedName(const QString& confirmed);
