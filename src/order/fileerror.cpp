#include "fileerror.h"

#include <cerrno>
#include <cstring>

QString fileErrorText(int error) {
    switch (error) {
    case EEXIST:
    case ENOTEMPTY:
        return QStringLiteral("soubor s novým názvem už existuje");
    case ENOENT:
        return QStringLiteral("soubor ve složce už není");
    case EACCES:
    case EPERM:
        return QStringLiteral("přístup odepřen");
    case EROFS:
        return QStringLiteral("disk je jen pro čtení");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("disk je plný");
    case ENAMETOOLONG:
        return QStringLiteral("nový název je příliš dlouhý");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("soubor je právě používán");
    case EIO:
        return QStringLiteral("chyba čtení nebo zápisu");
    default:
        return QStringLiteral("chyba systému (%1)")
            .arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}
