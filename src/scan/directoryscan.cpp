#include "directoryscan.h"

#include "datum.h"
#include "naturalorder.h"

#include <QDateTime>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString folderError(const QString& dirpath, int error) {
    switch (error) {
    case ENOENT:
        return QStringLiteral("Adresář „%1“ neexistuje nebo byl odstraněn.").arg(dirpath);
    case ENOTDIR:
        return QStringLiteral("„%1“ není adresář.").arg(dirpath);
    case EACCES:
    case EPERM:
        return QStringLiteral("Adresář „%1“ nelze číst: přístup odepřen.").arg(dirpath);
    default:
        return QStringLiteral("Adresář „%1“ nelze číst (%2).")
            .arg(dirpath, QString::fromLocal8Bit(std::strerror(error)));
    }
}

int openFolder(const QString& dirpath) {
    return ::open(QFile::encodeName(dirpath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

bool isHidden(const char* name) {
    return name[0] == '.';
}

// The entry type tells most files apart without a stat; links and file systems that
// do not fill in the type need one.
bool isOrdinaryFile(int dirFd, const dirent& entry) {
    if (entry.d_type == DT_REG)
        return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return false;
    struct stat target;
    return ::fstatat(dirFd, entry.d_name, &target, 0) == 0 && S_ISREG(target.st_mode);
}

QString modificationDatum(const struct stat& info) {
    const qint64 ms = qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
    return storedDatum(QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC));
}

// Compact, so that the sort moves little; the texts stay where they are.
struct SortKey {
    QStringView folded;
    std::size_t index;
};

} // namespace

DirectoryListing listOrdinaryFiles(const QString& dirpath) {
    DirectoryListing listing;
    const int dirFd = openFolder(dirpath);
    DIR* dir = dirFd < 0 ? nullptr : ::fdopendir(dirFd);
    if (!dir) {
        listing.error = folderError(dirpath, errno);
        if (dirFd >= 0)
            ::close(dirFd);
        return listing;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!isHidden(entry->d_name) && isOrdinaryFile(dirFd, *entry))
            listing.files.push_back({QByteArray(entry->d_name), {}});
        errno = 0;
    }
    if (errno != 0)
        listing.error = folderError(dirpath, errno);
    ::closedir(dir);
    return listing;
}

void readTimestamps(const QString& dirpath, std::vector<ListedFile>& files) {
    const int dirFd = openFolder(dirpath);
    if (dirFd < 0)
        return;
    for (ListedFile& file : files) {
        struct stat info;
        if (::fstatat(dirFd, file.rawName.constData(), &info, 0) == 0)
            file.datum = modificationDatum(info);
    }
    ::close(dirFd);
}

DirectoryScan orderedScan(DirectoryListing listing) {
    const std::size_t count = listing.files.size();
    std::vector<QString> names(count);
    std::vector<QString> folded(count);
    std::vector<SortKey> keys(count);
    for (std::size_t i = 0; i < count; ++i) {
        names[i] = QFile::decodeName(listing.files[i].rawName);
        folded[i] = names[i].toCaseFolded();
        keys[i] = {folded[i], i};
    }
    // Names equal but for case, or decoded alike, keep one fixed order all the same.
    std::sort(keys.begin(), keys.end(), [&](const SortKey& a, const SortKey& b) {
        if (const int order = naturalCompare(a.folded, b.folded))
            return order < 0;
        if (const int order = names[a.index].compare(names[b.index]))
            return order < 0;
        return listing.files[a.index].rawName < listing.files[b.index].rawName;
    });

    DirectoryScan scan;
    scan.error = std::move(listing.error);
    scan.files.reserve(count);
    for (const SortKey& key : keys)
        scan.files.push_back(
            {std::move(names[key.index]), std::move(listing.files[key.index].datum)});
    return scan;
}

DirectoryScan scanDirectory(const QString& dirpath) {
    DirectoryListing listing = listOrdinaryFiles(dirpath);
    readTimestamps(dirpath, listing.files);
    return orderedScan(std::move(listing));
}
