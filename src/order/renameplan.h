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
    QString name; // the stored name, for reports
    QByteArray source;
    QByteArray target;
};

struct RenamePlan {
    QString folder;
    // In the order they must run: a step whose target is another step's source comes after it.
    std::vector<RenameStep> steps;
    std::vector<RenameProblem> problems;
};

// Plans giving each catalogued file in `folder` (ending in "/") its numbered name, the rows
// numbered from 1 in their order. A row joins the plan only when its file still lies directly
// in the folder, is an ordinary file (or a link to one, which is renamed itself) and still has
// the modification time the catalogue holds for it. Rows already renamed are left out; every
// other row that cannot be planned becomes a problem.
RenamePlan planRenames(const QString& folder, std::span<const CatalogueRow> rows,
                       const QString& separator);
