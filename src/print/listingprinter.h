#pragma once

#include "listinglayout.h"

#include <QString>

class QPrinter;

// Prints the listing on the printer as one document, in the listing font, within the margins
// of reservePrintMargins. Returns an empty text when the whole document went to the printer;
// otherwise the reason, worded for the user: no printer (null, or it cannot start a document;
// nothing was printed) or a failure midway (the job was aborted).
QString printListing(QPrinter* printer, const Listing& listing);

// Widens the printer's margins to at least 15 mm, or to what the printer itself needs.
void reservePrintMargins(QPrinter& printer);

// The message for a missing printer.
QString noPrinterText();
