#include "browseaction.h"

#include "confirmedname.h"
#include "directoryscan.h"

#include <future>

std::optional<BrowseOutcome> browseFolder(FolderChooser& chooser, const QString& initialDir,
                                          const Catalogue& catalogue, ScanView& view) {
    const std::optional<QString> confirmed = chooser.confirmedName(initialDir);
    if (!confirmed)
        return std::nullopt;
    const QString dirpath = folderFromConfirmedName(*confirmed);
    const DirectoryScan scan = scanDirectory(dirpath);
    // The catalogue write only reads the scan, so it runs beside showing it.
    auto writing = std::async(std::launch::async, [&catalogue, &scan, &dirpath] {
        return catalogue.replaceAll(scan.files, dirpath);
    });
    view.showScan(dirpath, scan.files);
    return BrowseOutcome{dirpath, scan.listed, writing.get()};
}
