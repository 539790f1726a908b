#include "datum.h"

namespace {

constexpr qint64 msPerDay = 86400000;

qint64 floorDiv(qint64 value, qint64 divisor) {
    return value / divisor - (value % divisor < 0 ? 1 : 0);
}

// The proleptic Gregorian date of a day counted from 1970-01-01.
QDate civilDate(qint64 days) {
    days += 719468;
    const qint64 era = floorDiv(days, 146097);
    const qint64 dayOfEra = days - era * 146097;
    const qint64 yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = int(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = int(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    const qint64 year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {int(year), month, day};
}

char16_t* putDigits(char16_t* out, int value, int width) {
    for (int i = width - 1; i >= 0; --i, value /= 10)
        out[i] = char16_t(u'0' + value % 10);
    return out + width;
}

// Formatted by hand: a scan of a large folder stores one of these per file, and the
// general date formatting costs several times the file's stat.
QString storedDatumOfMs(qint64 ms) {
    const qint64 days = floorDiv(ms, msPerDay);
    const QDate date = civilDate(days);
    if (date.year() < 1 || date.year() > 9999)
        return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(Qt::ISODateWithMs);
    const int msOfDay = int(ms - days * msPerDay);
    char16_t text[25] = u"0000-00-00T00:00:00.000Z";
    putDigits(text, date.year(), 4);
    putDigits(text + 5, date.month(), 2);
    putDigits(text + 8, date.day(), 2);
    putDigits(text + 11, msOfDay / 3600000, 2);
    putDigits(text + 14, msOfDay / 60000 % 60, 2);
    putDigits(text + 17, msOfDay / 1000 % 60, 2);
    putDigits(text + 20, msOfDay % 1000, 3);
    return QString(reinterpret_cast<const QChar*>(text), 24);
}

} // namespace

QString storedDatum(const QDateTime& modified) {
    return modified.isValid() ? storedDatumOfMs(modified.toMSecsSinceEpoch()) : QString();
}

QString storedDatum(const timespec& modified) {
    return storedDatumOfMs(qint64(modified.tv_sec) * 1000 + modified.tv_nsec / 1000000);
}

QDateTime datumTime(const QString& stored) {
    return QDateTime::fromString(stored, Qt::ISODateWithMs);
}
