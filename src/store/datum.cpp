#include "datum.h"

#include <QRegularExpression>

namespace {

QString timeFormatWithSeconds(const QLocale& locale) {
    // The long format carries the seconds, and also the zone name, which we leave out.
    static const QRegularExpression zone(QStringLiteral("\\s*t+"));
    QString format = locale.timeFormat(QLocale::LongFormat);
    return format.remove(zone).trimmed();
}

} // namespace

QString storedDatum(const QDateTime& modified) {
    if (!modified.isValid())
        return {};
    return modified.toUTC().toString(Qt::ISODateWithMs);
}

QDateTime datumTime(const QString& stored) {
    return QDateTime::fromString(stored, Qt::ISODateWithMs);
}

QString datumText(const QString& stored, const QLocale& locale) {
    if (stored.isEmpty())
        return {};
    const QDateTime time = datumTime(stored);
    if (!time.isValid())
        return stored;
    const QDateTime local = time.toLocalTime();
    QString date = locale.toString(local.date(), QLocale::ShortFormat);
    if (local.time() == QTime(0, 0))
        return date;
    return date + u' ' + locale.toString(local.time(), timeFormatWithSeconds(locale));
}
