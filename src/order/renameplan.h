#pragma once

#include "catalogue.h"

#include <QByteArray>
#include <QString>
#include <span>
#include <vector>

// A file that is not renamed, and why (Czech, for the user).
struct RenameProblem {
    QString name;
    QString reason;
};

// One rename within the folder; the names are as the file system holds them.
struct RenameStep {
    QString name; // the file's original name, as the catalogue holds it
    QByteArray source;
    QByteArray target;
    bool recorded = false; // the journal held the new name for this file before this run
};

struct RenamePlan {
    QString folder;
    // Both in the order they must run (see orderSteps).
    std::vector<RenameStep> steps;     // to the numbered names
    std::vector<RenameStep> undoSteps; // back to the original names
    std::vector<RenameProblem> problems;
    std::vector<QString> gone; // names the journal records that no longer exist
    QString refusal;           // why nothing in the folder can be renamed; then no steps
};

// Plans giving each catalogued file in `folder` (ending in "/") its numbered name, the rows
// numbered from 1 in their order, and giving the files that carry a name the program gave
// (`journal`) their original names back. A file is found under its original name or a name
// the journal records for it. A row joins the plan only when its file still lies directly
// in the folder, is an ordinary file (or a link to one, which is renamed itself) and still has
// the modification time the catalogue holds for it. Every other row becomes a problem. A folder
// on a read-only file system is refused whole.
RenamePlan planRenames(const QString& folder, std::span<const CatalogueRow> rows,
                       const QString& separator, std::span<const RenamedName> journal = {});

// What the journal must hold before `steps` run: every name they give other than an original.
std::vector<RenamedName> namesGiven(std::span<const RenameStep> steps);

// Whether `name` is one the plan gives a file for a moment, to break a cycle of renames.
bool isTemporaryName(const QByteArray& name);

// The number of files the steps move: a file moved aside through a temporary name counts once.
qsizetype filesMoved(std::span<const RenameStep> steps);
