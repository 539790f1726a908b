#pragma once

#include <QString>

class QWidget;

enum class RenameChoice { Keep, Rename, Undo };

// Asks before the files are renamed, offering "Přejmenovat" and "Vrátit původní názvy" where
// there is something to do. "Ne" is the default, so Enter or Escape renames nothing.
RenameChoice askRename(QWidget* window, const QString& question, bool canRename, bool canUndo);
