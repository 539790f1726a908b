#pragma once

#include "catalogue.h"
#include "folderchooser.h"

#include <QString>
#include <optional>
#include <span>

// Where the directory action shows the folder and its files, as soon as they are known.
class ScanView {
public:
    virtual ~ScanView() = default;
    virtual void showScan(const QString& dirpath, std::span<const CatalogueRow> files) = 0;
};

struct BrowseOutcome {
    QString dirpath;          // the folder chosen, ending in "/"
    Result<void> listed;      // whether the folder was read whole
    Result<ScanMark> written; // the catalogue's new rows, or why they were not written
};

// The directory action: asks for a folder (opening in `initialDir`), scans it, shows it and
// writes the catalogue. Nothing when the user cancelled.
std::optional<BrowseOutcome> browseFolder(FolderChooser& chooser, const QString& initialDir,
                                          const Catalogue& catalogue, ScanView& view);
