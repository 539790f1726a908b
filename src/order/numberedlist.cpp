#include "numberedlist.h"

#include "shownname.h"

QString numberText(qsizetype sequence) {
    return QString::number(sequence).rightJustified(3, u'0');
}

QString numberedName(qsizetype sequence, const QString& filename, const QString& separator) {
    return numberText(sequence) + separator + filename;
}

QString numberedList(std::span<const CatalogueRow> rows, const QString& separator) {
    QString list;
    qsizetype sequence = 0;
    for (const CatalogueRow& row : rows) {
        list += numberedName(++sequence, shownName(row.filename), separator);
        list += u'\r';
    }
    return list;
}
