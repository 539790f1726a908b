#include "cataloguelocation.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <unistd.h>

namespace {

constexpr auto catalogueFileName = "/temlo_files.mdb";

// Asks the system rather than reading permission bits, so ACLs, read-only mounts and
// root's rights count as they will when the catalogue is written.
bool userMayCreateFilesIn(const QString& folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

} // namespace

QString cataloguePath(const QString& appPath) {
    if (userMayCreateFilesIn(appPath))
        return appPath + QLatin1String(catalogueFileName);
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // A folder that cannot be made shows up as the catalogue's own error, naming its path.
    QDir().mkpath(dataFolder);
    return dataFolder + QLatin1String(catalogueFileName);
}
