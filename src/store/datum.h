#pragma once

#include <QDateTime>
#include <QString>
#include <ctime>

// `datum` is stored as ISO 8601 UTC with milliseconds, so text order is time order
// (also across daylight-saving changes); an empty text stands for an unknown time.
QString storedDatum(const QDateTime& modified);
// The same for a modification time as the file system reports it (st_mtim).
QString storedDatum(const timespec& modified);
QDateTime datumTime(const QString& stored);
