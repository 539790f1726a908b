#pragma once

#include "catalogue.h"

#include <QString>
#include <span>

// The list box text after a scan: the folder, then one file name per line, every line
// ended by a lone carriage return.
QString scanListText(const QString& dirpath, std::span<const CatalogueRow> files);
