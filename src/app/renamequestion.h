#pragma once

#include "sortaction.h"

class QWidget;

// Asks before the files are renamed, offering "Přejmenovat" and "Vrátit původní názvy" where
// there is something to do. "Ne" is the default, so Enter or Escape renames nothing.
RenameChoice askRename(QWidget* window, const RenameOffer& offer);
