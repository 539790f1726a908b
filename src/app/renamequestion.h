#pragma once

#include <QString>

class QWidget;

// Asks before the files are renamed; "Ne" is the default, so Enter or Escape renames nothing.
bool confirmRename(QWidget* window, const QString& question);
