#include "browseaction.h"

#include "confirmedname.h"
#include "directoryscan.h"
#include "doublenames.h"

#include <future>

std::optional<BrowseOutcome> browseFolder(FolderChooser& chooser, const QString& initialDir,
                                          const Catalogue& catalogue, ScanView& view) {
    const std::optional<QString> confirmed = chooser.confirmedName(initialDir);
    if (!confirmed)
        return std::nullopt;
    const QString dirpath = folderFromConfirmedName(*confirmed);
    // A file that a crash left under two names is listed once. Without the journal no name
    // can be known for an extra one; the catalogue write then reports the catalogue's fault.
    removeDoubledNames(dirpath, [&] {
        Result<std::vector<RenamedName>> journal = catalogue.renamedIn(dirpath);
        return journal.ok() ? std::move(journal.value()) : std::vector<RenamedName>();
    });
    const DirectoryScan scan = scanDirectory(dirpath);
    // The catalogue write only reads the scan, so it runs beside showing it.
    auto writing = std::async(std::launch::async, [&catalogue, &scan, &dirpath] {
        return catalogue.replaceAll(scan.files, dirpath);
    });
    view.showScan(dirpath, scan.files);
    return BrowseOutcome{dirpath, scan.listed, writing.get()};
}
