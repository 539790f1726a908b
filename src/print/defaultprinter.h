#pragma once

#include "listinglayout.h"

#include <QString>

// Prints the listing on the default CUPS destination: drawn into a temporary PDF file in that
// printer's page layout, then handed over as one job. Returns what the user must be told
// (no printer, a refusal with its cause, a job left waiting); empty when it simply prints.
QString printOnDefaultPrinter(const Listing& listing);
