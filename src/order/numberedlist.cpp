#include "numberedlist.h"

QString numberText(qsizetype sequence) {
    return QString::number(sequence).rightJustified(3, u'0');
}

QStringList numberedNames(std::span<const CatalogueRow> rows, const QString& separator) {
    QStringList names;
    names.reserve(qsizetype(rows.size()));
    qsizetype sequence = 0;
    for (const CatalogueRow& row : rows)
        names << numberText(++sequence) + separator + row.filename;
    return names;
}
