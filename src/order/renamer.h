#pragma once

#include "renameplan.h"

#include <span>
#include <vector>

// How the renames of a folder keep from replacing a file (see noreplace.h), strongest first.
// Decided on the folder's first rename that gets that far, and kept for the rest.
enum class RenamePath { Undecided, NoReplace, LinkThenUnlink, CheckThenRename };

struct RenameOutcome {
    std::vector<Failure> problems; // the files that kept their names
    std::vector<QString> vacated;  // names no file has any more
    std::vector<QString> ungiven;  // new names of this run no file got
    RenamePath path = RenamePath::Undecided;
};

// Runs the steps in their order within `folder`. None replaces an existing file, and whenever
// this stops every file has its old name or its new one, or on the link path both for an
// instant (see removeDoubledNames). A failed rename does not stop the others.
RenameOutcome renameFiles(const QString& folder, std::span<const RenameStep> steps);
