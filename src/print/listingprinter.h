#pragma once

#include "failure.h"
#include "listinglayout.h"

#include <QString>

class QPrinter;

// Prints the listing on the printer as one document, in the listing font, within the margins
// of reservePrintMargins. Fails with NoPrinter (null, or it cannot start a document; nothing
// was printed), PrintAborted (a failure midway; the job was aborted) or PrinterFailed.
Result<void> printListing(QPrinter* printer, const Listing& listing);

// Widens the printer's margins to at least 15 mm, or to what the printer itself needs.
void reservePrintMargins(QPrinter& printer);
