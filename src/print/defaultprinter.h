#pragma once

#include "failure.h"
#include "listinglayout.h"

#include <QString>

// Where a listing went: the printer, and whether the job waits in its stopped queue.
struct PrintedJob {
    QString printer;
    bool waiting = false;
};

// Prints the listing on the default CUPS destination: drawn into a temporary PDF file in that
// printer's page layout, then handed over as one job.
Result<PrintedJob> printOnDefaultPrinter(const Listing& listing);
