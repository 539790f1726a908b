#pragma once

#include "renameplan.h"

#include <vector>

// Runs the plan's renames in its order. Each is atomic and never replaces an existing file, so
// whenever this stops every file has its old name or its new one. A failed rename does not stop
// the others. Returns the files that kept their old names.
std::vector<RenameProblem> renameFiles(const RenamePlan& plan);
