#include "scanlisttext.h"

QString scanListText(const QString& dirpath, std::span<const CatalogueRow> files) {
    qsizetype size = dirpath.size() + 1;
    for (const CatalogueRow& file : files)
        size += file.filename.size() + 1;
    QString text;
    text.reserve(size);
    text += dirpath;
    text += u'\r';
    for (const CatalogueRow& file : files) {
        text += file.filename;
        text += u'\r';
    }
    return text;
}
