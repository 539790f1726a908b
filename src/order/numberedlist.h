#pragma once

#include "catalogue.h"

#include <QString>
#include <span>

// The sequence number with zeros in front up to three digits: 1 gives "001", 1000 "1000".
QString numberText(qsizetype sequence);

// Number text, separator and the stored name, joined as they are.
QString numberedName(qsizetype sequence, const QString& filename, const QString& separator);

// The numbered names of the rows, numbered from 1, each line ended by a lone carriage return.
QString numberedList(std::span<const CatalogueRow> rows, const QString& separator);
