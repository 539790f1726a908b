#pragma once

#include "catalogue.h"
#include "listinglayout.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <span>

// What the list box and the printout show of the catalogue.

// A file name as one line: control characters (a line break inside a name, say) show as "?",
// so that every name keeps a line of its own. The stored name and the file keep them.
QString shownName(const QString& name);

// The user's regional text for a stored `datum`: short date with a four-digit year, then the
// time with seconds, or the date alone at exactly midnight. Texts that are not in the stored
// form are shown as they are. The formats are worked out once per locale.
class DatumText {
public:
    explicit DatumText(const QLocale& locale = QLocale());
    QString operator()(const QString& stored) const;

private:
    QLocale m_locale;
    QString m_dateFormat;
    QString m_timeFormat;
};

// The list after a scan: the folder, then one file name per line.
QString scanListText(const QString& dirpath, std::span<const CatalogueRow> files);

// The numbered names, one per line. Every line of a list text ends in a lone carriage return.
QString numberedListText(const QStringList& numberedNames);

// The printed listing: each row's numbered name and date text under the folder's heading.
Listing printedListing(const QString& dirpath, std::span<const CatalogueRow> rows,
                       const QStringList& numberedNames);
