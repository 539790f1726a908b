#include "doublenames.h"

#include "folderentries.h"
#include "folderhandle.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The names of entries that share their inode number with another entry: the names of a file
// that has more than one, or every entry where the file system gives no numbers (FAT through
// FUSE). None when the folder cannot be read.
QSet<QByteArray> sharedInodeNames(int folderFd, const QString& folder) {
    Result<std::vector<FolderEntry>> entries = readFolder(folderFd, folder);
    QSet<QByteArray> shared;
    if (!entries.ok())
        return shared;
    std::vector<FolderEntry>& list = entries.value();
    std::ranges::sort(list, {}, &FolderEntry::inode);
    for (std::size_t i = 1; i < list.size(); ++i)
        if (list[i].inode == list[i - 1].inode)
            shared << list[i - 1].name << list[i].name;
    return shared;
}

// Which of a file's names stays: its original first, then a numbered name.
int rank(const QByteArray& name, const QByteArray& original) {
    return name == original ? 0 : isTemporaryName(name) ? 2 : 1;
}

bool sameFile(const struct statx& a, const struct statx& b) {
    return a.stx_dev_major == b.stx_dev_major && a.stx_dev_minor == b.stx_dev_minor &&
           a.stx_ino == b.stx_ino;
}

class Healer {
public:
    explicit Healer(int folderFd) : m_folderFd(folderFd) {}

    // Keeps the first of `names` (ranked) and removes each other that is the same file.
    void heal(QList<QByteArray> names) {
        struct statx kept {};
        if (!linked(names.first(), kept))
            return;
        for (const QByteArray& name : names.mid(1)) {
            struct statx other {};
            // Both looked at again right before the removal: only a second name of one file
            // may go, never a file.
            if (linked(name, other) && sameFile(kept, other) && linked(names.first(), kept) &&
                sameFile(kept, other) && ::unlinkat(m_folderFd, name.constData(), 0) == 0)
                removed << QFile::decodeName(name);
        }
    }

    QStringList removed;

private:
    // A name of a file that has more than one. Asked of the file system itself: a FUSE mount
    // keeps what it last heard of each name for a while, which may be from before the link.
    bool linked(const QByteArray& name, struct statx& file) const {
        return ::statx(m_folderFd, name.constData(), AT_SYMLINK_NOFOLLOW | AT_STATX_FORCE_SYNC,
                       STATX_INO | STATX_NLINK, &file) == 0 &&
               file.stx_nlink > 1;
    }

    int m_folderFd;
};

} // namespace

QStringList removeDoubledNames(const QString& folder,
                               const std::function<std::vector<RenamedName>()>& journal) {
    const FolderHandle handle(folder);
    const QSet<QByteArray> shared =
        handle.isOpen() ? sharedInodeNames(handle.fd(), folder) : QSet<QByteArray>();
    if (shared.isEmpty())
        return {};
    QHash<QString, QList<QByteArray>> namesOf; // the names given to each original, as shared
    for (const RenamedName& entry : journal())
        if (QByteArray name = QFile::encodeName(entry.numbered); shared.contains(name))
            namesOf[entry.original] << std::move(name);
    Healer healer(handle.fd());
    for (auto it = namesOf.begin(); it != namesOf.end(); ++it) {
        QList<QByteArray>& names = it.value();
        const QByteArray original = QFile::encodeName(it.key());
        if (shared.contains(original))
            names << original;
        if (names.size() < 2)
            continue;
        std::ranges::stable_sort(names, {}, [&](const QByteArray& n) { return rank(n, original); });
        // Two files of one original each keep their names; a file's names meet only its own.
        while (names.size() >= 2) {
            healer.heal(names);
            names.removeFirst();
        }
    }
    return healer.removed;
}

bool isTemporaryName(const QByteArray& name) {
    return name.startsWith(temporaryPrefix);
}
