#include "directoryscan.h"

#include "datum.h"
#include "folderentries.h"
#include "naturalorder.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int openFolder(const QString& dirpath) {
    return ::open(QFile::encodeName(dirpath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

bool isHidden(const char* name) {
    return name[0] == '.';
}

// The entry type tells most files apart without a stat; links and file systems that
// do not fill in the type need one.
bool isOrdinaryFile(int dirFd, const FolderEntry& entry) {
    if (entry.type == DT_REG)
        return true;
    if (entry.type != DT_LNK && entry.type != DT_UNKNOWN)
        return false;
    struct stat target;
    return ::fstatat(dirFd, entry.name.constData(), &target, 0) == 0 && S_ISREG(target.st_mode);
}

struct NameOrder {
    std::vector<QString> names;       // decoded, in listing order
    std::vector<std::size_t> indices; // into the listing, in collation order
};

// Reads only the raw names of the listing. One collation key per name, made once, keeps the
// sort to cheap byte comparisons.
NameOrder collatedNameOrder(const std::vector<ListedFile>& files, const QLocale& locale) {
    const QCollator collator = nameCollator(locale);
    const std::size_t count = files.size();
    NameOrder order{std::vector<QString>(count), std::vector<std::size_t>(count)};
    std::vector<QCollatorSortKey> keys;
    keys.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        order.names[i] = QFile::decodeName(files[i].rawName);
        keys.push_back(collator.sortKey(order.names[i]));
        order.indices[i] = i;
    }
    // Names that collate alike (leading zeros, composed and decomposed accents, names decoded
    // alike) keep one fixed order all the same, not the file system's.
    std::sort(order.indices.begin(), order.indices.end(), [&](std::size_t a, std::size_t b) {
        if (const int result = keys[a].compare(keys[b]))
            return result < 0;
        if (const int result = order.names[a].compare(order.names[b]))
            return result < 0;
        return files[a].rawName < files[b].rawName;
    });
    return order;
}

DirectoryScan assemble(DirectoryListing listing, NameOrder order) {
    DirectoryScan scan;
    scan.listed = std::move(listing.listed);
    scan.files.reserve(order.indices.size());
    for (const std::size_t index : order.indices)
        scan.files.push_back(
            {std::move(order.names[index]), std::move(listing.files[index].datum)});
    return scan;
}

} // namespace

DirectoryListing listOrdinaryFiles(const QString& dirpath) {
    DirectoryListing listing;
    const int dirFd = openFolder(dirpath);
    if (dirFd < 0) {
        listing.listed = failureOfErrno(errno, dirpath);
        return listing;
    }
    Result<std::vector<FolderEntry>> entries = readFolder(dirFd, dirpath);
    if (entries.ok()) {
        for (FolderEntry& entry : entries.value())
            if (!isHidden(entry.name.constData()) && isOrdinaryFile(dirFd, entry))
                listing.files.push_back({std::move(entry.name), {}});
    } else {
        listing.listed = entries.failure();
    }
    ::close(dirFd);
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

DirectoryScan orderedScan(DirectoryListing listing, const QLocale& locale) {
    NameOrder order = collatedNameOrder(listing.files, locale);
    return assemble(std::move(listing), std::move(order));
}

DirectoryScan scanDirectory(const QString& dirpath, const QLocale& locale) {
    DirectoryListing listing = listOrdinaryFiles(dirpath);
    // Reading the timestamps (a system call per file) and ordering the names touch different
    // fields of the listing, so on two cores they overlap.
    auto stamping = std::async(std::launch::async, [&] { readTimestamps(dirpath, listing.files); });
    NameOrder order = collatedNameOrder(listing.files, locale);
    stamping.get();
    return assemble(std::move(listing), std::move(order));
}
