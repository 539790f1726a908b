#pragma once

#include "failure.h"

#include <QString>

struct CupsDestination {
    QString name;
    bool stopped = false; // accepts jobs but keeps them waiting
};

// The default destination as libcups finds it for this user (LPDEST, PRINTER, lpoptions,
// then the scheduler's default).
Result<CupsDestination> defaultCupsDestination();

// Sends a PDF file to the destination as one job and reads CUPS's answer. A job that CUPS
// refuses midway is cancelled, so nothing half-sent stays.
Result<void> submitPdf(const CupsDestination& destination, const QString& path,
                       const QString& title);
