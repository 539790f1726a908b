#pragma once

#include "failure.h"
#include "sortaction.h"

#include <QString>
#include <span>

// The window's texts that depend on what happened: status texts, questions and messages.

QString scannedStatus(const QString& dirpath);
QString sortingStatus();
QString sortedStatus(const SortOutcome& outcome);

// The question before renaming, naming the number of files and the folder, and the offer to
// give the files carrying numbered names their original names back.
QString renameQuestion(const RenameOffer& offer);

// One message listing the files not renamed, grouped by reason, each group with its count,
// its first `renameReportLimit` names and the number of the rest. Names show as in the list,
// those longer than `reportedNameLength` elided in the middle.
constexpr qsizetype renameReportLimit = 10;
constexpr qsizetype reportedNameLength = 60;
QString renameReport(std::span<const Failure> problems);

// Messages naming what failed: the catalogue file, the chosen folder, or printing.
QString catalogueMessage(const Failure& failure);
QString folderMessage(const Failure& failure);
QString printMessage(const Failure& failure);
QString otherScanMessage(const QString& folder);
QString refusalMessage(const Failure& failure);
QString waitingJobMessage(const QString& printer);
