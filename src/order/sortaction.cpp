#include "sortaction.h"

#include "noreplace.h"
#include "numberedlist.h"
#include "renameplan.h"
#include "renamer.h"

#include <future>

namespace {

// Without the journal the plan would take the names the program gave for originals.
Result<RenamePlan> planWithJournal(const Catalogue& catalogue, const QString& folder,
                                   std::span<const CatalogueRow> rows, const QStringList& names) {
    const Result<std::vector<RenamedName>> journal = catalogue.renamedIn(folder);
    if (!journal.ok())
        return journal.failure();
    return planRenames(folder, rows, names, journal.value());
}

// A journal write, which a crash that a test stands in for prevents (see limitRenamingCalls).
Result<void> record(const Catalogue& catalogue, const QString& folder,
                    std::span<const RenamedName> given, std::span<const QString> gone) {
    if (renamingCrashed())
        return {};
    return catalogue.recordRenames(folder, given, gone);
}

Result<RenameOutcome> runSteps(const Catalogue& catalogue, const RenamePlan& plan,
                               std::span<const RenameStep> steps) {
    const Result<void> recorded = record(catalogue, plan.folder, namesGiven(steps), plan.gone);
    if (!recorded.ok())
        return recorded.failure();
    RenameOutcome outcome = renameFiles(plan.folder, steps);
    // Names that no file got are forgotten too, so that no other file of such a name is ever
    // taken for one the program named. Should this fail, the entries left name files that no
    // longer exist; the next rename prunes them.
    std::vector<QString> forgotten = outcome.vacated;
    forgotten.insert(forgotten.end(), outcome.ungiven.begin(), outcome.ungiven.end());
    record(catalogue, plan.folder, {}, forgotten);
    return outcome;
}

} // namespace

Result<SortOutcome> sortCatalogue(const Catalogue& catalogue, const ScanMark& ownScan,
                                  const QString& separator, SortView& view) {
    const Result<CatalogueRead> read = catalogue.orderedRead();
    if (!read.ok())
        return read.failure();
    const std::vector<CatalogueRow>& rows = read.value().rows;
    const QStringList names = numberedNames(rows, separator);
    SortOutcome outcome;
    const bool scanned = !ownScan.token.isEmpty();
    if (!scanned || read.value().mark.token != ownScan.token) {
        view.showNumbered(names);
        if (scanned)
            outcome.otherScan = read.value().mark.folder;
        return outcome;
    }
    // Planning (a file look-up per row) only reads the rows, so it runs beside showing them.
    auto planning = std::async(std::launch::async, [&] {
        return planWithJournal(catalogue, ownScan.folder, rows, names);
    });
    view.showNumbered(names);
    const Result<RenamePlan> planned = planning.get();
    if (!planned.ok()) {
        outcome.journal = planned.failure();
        return outcome;
    }
    const RenamePlan& plan = planned.value();
    if (plan.refusal) {
        outcome.refused = plan.refusal;
        return outcome;
    }
    const RenameOffer offer{plan.folder, filesMoved(plan.steps), filesMoved(plan.undoSteps)};
    const bool asked = offer.toRename > 0 || offer.toRestore > 0;
    if (asked)
        outcome.done = view.ask(offer);
    // The rows that cannot be renamed are told unless the user declined or chose undo.
    if (!asked || outcome.done == RenameChoice::Rename)
        outcome.problems = plan.problems;
    if (outcome.done == RenameChoice::Keep)
        return outcome;
    const bool undo = outcome.done == RenameChoice::Undo;
    Result<RenameOutcome> renamed = runSteps(catalogue, plan, undo ? plan.undoSteps : plan.steps);
    if (!renamed.ok()) {
        outcome = {RenameChoice::Keep, {}, {}, renamed.failure(), std::nullopt};
        return outcome;
    }
    std::ranges::move(renamed.value().problems, std::back_inserter(outcome.problems));
    return outcome;
}
