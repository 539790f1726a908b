#pragma once

#include "renameplan.h"

#include <QString>
#include <span>

// The question before renaming, naming the number of files and the folder.
QString renameQuestion(qsizetype count, const QString& folder);

// The offer to give the files carrying numbered names their original names back, after the
// question (or `alone`, when there is nothing to rename).
QString undoOffer(qsizetype count, const QString& folder, bool alone);

// One message listing the files not renamed with their reasons: the first
// `renameReportLimit` of them and the number of the rest.
constexpr qsizetype renameReportLimit = 20;
QString renameReport(std::span<const RenameProblem> problems);
