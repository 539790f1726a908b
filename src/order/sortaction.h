#pragma once

#include "catalogue.h"
#include "failure.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

enum class RenameChoice { Keep, Rename, Undo };

// What the question before renaming offers: how many files each answer would move.
struct RenameOffer {
    QString folder;
    qsizetype toRename = 0;  // none: renaming is not offered
    qsizetype toRestore = 0; // none: giving back the original names is not offered
};

// Where the sort action shows its list and asks before renaming.
class SortView {
public:
    virtual ~SortView() = default;
    // The numbered names, as soon as the catalogue is read; none for an empty catalogue.
    virtual void showNumbered(const QStringList& names) = 0;
    virtual RenameChoice ask(const RenameOffer& offer) = 0;
};

struct SortOutcome {
    RenameChoice done = RenameChoice::Keep; // what was carried out
    std::vector<Failure> problems;          // files not renamed: the name as subject, and why
    QString otherScan;    // the folder another copy scanned meanwhile; nothing was renamed
    Result<void> journal; // reading or writing the journal; when it failed, nothing was renamed
    std::optional<Failure> refused; // why no file of the folder can be renamed; nothing asked
};

// The sort action: reads the catalogue in date order and shows its numbered names. While the
// catalogue still holds `ownScan`, this window's last scan, it offers to give the files those
// names, or their original names back. Every name is recorded in the journal before it is
// given, so that after a crash the next scan still knows each file's original name.
Result<SortOutcome> sortCatalogue(const Catalogue& catalogue, const ScanMark& ownScan,
                                  const QString& separator, SortView& view);
