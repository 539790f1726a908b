#pragma once

#include "renameplan.h"

#include <span>
#include <vector>

struct RenameOutcome {
    std::vector<Failure> problems; // the files that kept their names
    std::vector<QString> vacated;  // names no file has any more
};

// Runs the steps in their order within `folder`. Each is atomic and never replaces an existing
// file, so whenever this stops every file has its old name or its new one. A failed rename does
// not stop the others.
RenameOutcome renameFiles(const QString& folder, std::span<const RenameStep> steps);
