#pragma once

#include "catalogue.h"

#include <QString>
#include <QStringList>
#include <span>

// The sequence number with zeros in front up to three digits: 1 gives "001", 1000 "1000".
QString numberText(qsizetype sequence);

// The numbered names of the rows in their order, numbered from 1: number text, separator and
// the stored name, joined as they are.
QStringList numberedNames(std::span<const CatalogueRow> rows, const QString& separator);
