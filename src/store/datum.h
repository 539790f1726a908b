#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <ctime>

// `datum` is stored as ISO 8601 UTC with milliseconds, so text order is time order
// (also across daylight-saving changes); an empty text stands for an unknown time.
QString storedDatum(const QDateTime& modified);
// The same for a modification time as the file system reports it (st_mtim).
QString storedDatum(const timespec& modified);
QDateTime datumTime(const QString& stored);

// The user's regional text for a stored `datum`: short date with a four-digit year, then the
// time with seconds, or the date alone at exactly midnight. Texts that are not in the stored
// form are shown as they are.
QString datumText(const QString& stored, const QLocale& locale = QLocale());

// datumText for many datums in one locale: the time format is worked out once.
class DatumTextFormat {
public:
    explicit DatumTextFormat(const QLocale& locale = QLocale());
    QString text(const QString& stored) const;

private:
    QLocale m_locale;
    QString m_dateFormat;
    QString m_timeFormat;
};
