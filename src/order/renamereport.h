#pragma once

#include "renameplan.h"

#include <QString>
#include <span>

// The question before renaming, naming the number of files and the folder.
QString renameQuestion(qsizetype count, const QString& folder);

// The offer to give the files carrying numbered names their original names back, after the
// question (or `alone`, when there is nothing to rename).
QString undoOffer(qsizetype count, const QString& folder, bool alone);

// One message listing the files not renamed, grouped by reason, each group with its count,
// its first `renameReportLimit` names and the number of the rest. Names show as in the list,
// those longer than `reportedNameLength` elided in the middle.
constexpr qsizetype renameReportLimit = 10;
constexpr qsizetype reportedNameLength = 60;
QString renameReport(std::span<const RenameProblem> problems);
