#pragma once

#include <QString>
#include <optional>

struct CupsDestination {
    QString name;
    bool stopped = false; // accepts jobs but keeps them waiting
};

struct DestinationLookup {
    std::optional<CupsDestination> destination;
    QString problem; // worded for the user, when there is no destination
};

// The default destination as libcups finds it for this user (LPDEST, PRINTER, lpoptions,
// then the scheduler's default).
DestinationLookup defaultCupsDestination();

// Sends a PDF file to the destination as one job and reads CUPS's answer. Returns an empty
// text when the job was accepted and prints; otherwise what the user needs to know: why it
// was refused (a job begun is cancelled, so nothing half-sent stays) or that it waits in a
// stopped queue.
QString submitPdf(const CupsDestination& destination, const QString& path, const QString& title);
