#pragma once

#include "catalogue.h"
#include "failure.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <span>
#include <vector>

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
    std::vector<Failure> problems;     // rows not renamed: the file's name as subject, and why
    std::vector<QString> gone;         // names the journal records that no longer exist
    std::optional<Failure> refusal;    // why nothing in the folder can be renamed; then no steps
};

// Plans giving each catalogued file in `folder` (ending in "/") its numbered name (one per
// row, see numberedNames), and giving the files that carry a name the program gave
// (`journal`) their original names back. A file is found under its original name or a name
// the journal records for it. A row joins the plan only when its file still lies directly
// in the folder, is an ordinary file (or a link to one, which is renamed itself) and still has
// the modification time the catalogue holds for it. Every other row becomes a problem. A folder
// on a read-only file system is refused whole.
RenamePlan planRenames(const QString& folder, std::span<const CatalogueRow> rows,
                       const QStringList& numberedNames, std::span<const RenamedName> journal = {});

// What the journal must hold before `steps` run: every name they give other than an original.
std::vector<RenamedName> namesGiven(std::span<const RenameStep> steps);

// The number of files the steps move: a file moved aside through a temporary name counts once.
qsizetype filesMoved(std::span<const RenameStep> steps);
