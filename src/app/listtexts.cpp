#include "listtexts.h"

#include "datum.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

bool isControl(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

QString timeFormatWithSeconds(const QLocale& locale) {
    // The long format carries the seconds, and also the zone name, which we leave out.
    static const QRegularExpression zone(QStringLiteral("\\s*t+"));
    QString format = locale.timeFormat(QLocale::LongFormat);
    return format.remove(zone).trimmed();
}

// Two-digit years are widened: a dated listing must not leave the century to be guessed.
QString dateFormatWithFullYear(const QLocale& locale) {
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    return locale.dateFormat(QLocale::ShortFormat).replace(twoDigitYear, QStringLiteral("yyyy"));
}

void appendLine(QString& text, const QString& name) {
    text += shownName(name);
    text += u'\r';
}

} // namespace

QString shownName(const QString& name) {
    if (std::none_of(name.begin(), name.end(), isControl))
        return name;
    QString shown = name;
    std::replace_if(shown.begin(), shown.end(), isControl, u'?');
    return shown;
}

DatumText::DatumText(const QLocale& locale)
    : m_locale(locale), m_dateFormat(dateFormatWithFullYear(locale)),
      m_timeFormat(timeFormatWithSeconds(locale)) {}

QString DatumText::operator()(const QString& stored) const {
    if (stored.isEmpty())
        return {};
    const QDateTime time = datumTime(stored);
    if (!time.isValid())
        return stored;
    const QDateTime local = time.toLocalTime();
    QString date = m_locale.toString(local.date(), m_dateFormat);
    if (local.time() == QTime(0, 0))
        return date;
    return date + u' ' + m_locale.toString(local.time(), m_timeFormat);
}

QString scanListText(const QString& dirpath, std::span<const CatalogueRow> files) {
    qsizetype size = dirpath.size() + 1;
    for (const CatalogueRow& file : files)
        size += file.filename.size() + 1;
    QString text;
    text.reserve(size);
    text += dirpath;
    text += u'\r';
    for (const CatalogueRow& file : files)
        appendLine(text, file.filename);
    return text;
}

QString numberedListText(const QStringList& numberedNames) {
    qsizetype size = 0;
    for (const QString& name : numberedNames)
        size += name.size() + 1;
    QString text;
    text.reserve(size);
    for (const QString& name : numberedNames)
        appendLine(text, name);
    return text;
}

Listing printedListing(const QString& dirpath, std::span<const CatalogueRow> rows,
                       const QStringList& numberedNames) {
    const DatumText datumText;
    Listing listing{dirpath, {}};
    listing.entries.reserve(rows.size());
    for (qsizetype i = 0; i < numberedNames.size(); ++i)
        listing.entries.push_back({shownName(numberedNames[i]), datumText(rows[size_t(i)].datum)});
    return listing;
}
