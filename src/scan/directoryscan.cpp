#include "directoryscan.h"

#include "datum.h"
#include "naturalorder.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <future>
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

// Compact, so that the sort moves little; the texts stay where they are.
struct SortKey {
    QStringView folded;
    std::size_t index;
};

struct NameOrder {
    std::vector<QString> names; // decoded, in listing order
    std::vector<SortKey> keys;  // in natural order
    std::vector<QString> folded;
};

// Reads only the raw names of the listing.
NameOrder naturalNameOrder(const std::vector<ListedFile>& files) {
    const std::size_t count = files.size();
    NameOrder order{std::vector<QString>(count), std::vector<SortKey>(count),
                    std::vector<QString>(count)};
    for (std::size_t i = 0; i < count; ++i) {
        order.names[i] = QFile::decodeName(files[i].rawName);
        order.folded[i] = order.names[i].toCaseFolded();
        order.keys[i] = {order.folded[i], i};
    }
    // Names equal but for case, or decoded alike, keep one fixed order all the same.
    std::sort(order.keys.begin(), order.keys.end(), [&](const SortKey& a, const SortKey& b) {
        if (const int result = naturalCompare(a.folded, b.folded))
            return result < 0;
        if (const int result = order.names[a.index].compare(order.names[b.index]))
            return result < 0;
        return files[a.index].rawName < files[b.index].rawName;
    });
    return order;
}

DirectoryScan assemble(DirectoryListing listing, NameOrder order) {
    DirectoryScan scan;
    scan.error = std::move(listing.error);
    scan.files.reserve(order.keys.size());
    for (const SortKey& key : order.keys)
        scan.files.push_back(
            {std::move(order.names[key.index]), std::move(listing.files[key.index].datum)});
    return scan;
}

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
            file.datum = storedDatum(info.st_mtim);
    }
    ::close(dirFd);
}

DirectoryScan orderedScan(DirectoryListing listing) {
    NameOrder order = naturalNameOrder(listing.files);
    return assemble(std::move(listing), std::move(order));
}

DirectoryScan scanDirectory(const QString& dirpath) {
    DirectoryListing listing = listOrdinaryFiles(dirpath);
    // Reading the timestamps (a system call per file) and ordering the names touch different
    // fields of the listing, so on two cores they overlap.
    auto stamping = std::async(std::launch::async, [&] { readTimestamps(dirpath, listing.files); });
    NameOrder order = naturalNameOrder(listing.files);
    stamping.get();
    return assemble(std::move(listing), std::move(order));
}
