#include "confirmedname.h"

QString folderFromConfirmedName(const QString& confirmed) {
    return confirmed.left(confirmed.lastIndexOf(u'/') + 1);
}
