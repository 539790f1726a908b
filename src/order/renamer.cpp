#include "renamer.h"

#include "folderhandle.h"
#include "noreplace.h"

#include <QFile>
#include <QSet>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Offered : char { Unknown, Yes, No };

// The answers of linkat that mean no hard link here, though a rename may still work: FAT and
// exFAT have no hard links, and the kernel refuses to link other users' files.
bool refusesLinks(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EMLINK;
}

// In a sticky folder (such as /tmp) only the owner of a file or of the folder may remove a
// name; a link made there could then not be taken back.
bool mayLink(int folderFd) {
    struct stat folder {};
    const uid_t user = ::geteuid();
    return ::fstat(folderFd, &folder) != 0 || !(folder.st_mode & S_ISVTX) || user == 0 ||
           folder.st_uid == user;
}

struct Attempt {
    int error = 0;
    bool given = false; // the file carries the new name, perhaps beside the old one
};

// Uses the strongest way the file system offers: it learns from the first answer that says
// a way is missing, so no file fails for it.
class Renamer {
public:
    explicit Renamer(int folderFd)
        : m_folderFd(folderFd), m_links(mayLink(folderFd) ? Offered::Unknown : Offered::No) {}

    Attempt rename(const char* from, const char* to) {
        if (m_noReplace != Offered::No) {
            const int error = renameNoReplace(m_folderFd, from, to);
            if (error != EINVAL && error != ENOSYS) {
                if (error == 0)
                    m_noReplace = Offered::Yes;
                return {error, error == 0};
            }
            m_noReplace = Offered::No;
        }
        if (m_links != Offered::No) {
            const int error = linkNewName(m_folderFd, from, to);
            if (error == 0) {
                m_links = Offered::Yes;
                bool bothNames = false;
                const int removal = unlinkOldName(m_folderFd, from, to, bothNames);
                return {removal, removal == 0 || bothNames};
            }
            if (!refusesLinks(error))
                return {error, false};
            if (m_links == Offered::Unknown)
                m_links = Offered::No;
        }
        const int error = checkThenRename(m_folderFd, from, to);
        return {error, error == 0};
    }

    RenamePath path() const {
        if (m_noReplace == Offered::Yes)
            return RenamePath::NoReplace;
        if (m_noReplace == Offered::Unknown)
            return RenamePath::Undecided;
        return m_links == Offered::Yes  ? RenamePath::LinkThenUnlink
               : m_links == Offered::No ? RenamePath::CheckThenRename
                                        : RenamePath::Undecided;
    }

private:
    int m_folderFd;
    Offered m_noReplace = Offered::Unknown;
    Offered m_links;
};

} // namespace

RenameOutcome renameFiles(const QString& folder, std::span<const RenameStep> steps) {
    RenameOutcome outcome;
    const FolderHandle handle(folder);
    Renamer renamer(handle.fd());
    QSet<QByteArray> failedTargets; // a file that stayed short of a temporary name
    QSet<QByteArray> reached;
    const auto notGiven = [&](const RenameStep& step) {
        if (!step.recorded && QFile::decodeName(step.target) != step.name)
            outcome.ungiven.push_back(QFile::decodeName(step.target));
    };
    for (const RenameStep& step : steps) {
        if (failedTargets.contains(step.source)) {
            notGiven(step); // reported at its first step
            continue;
        }
        const Attempt attempt =
            handle.isOpen() ? renamer.rename(step.source.constData(), step.target.constData())
                            : Attempt{-1, false};
        if (attempt.error == 0) {
            outcome.vacated.push_back(QFile::decodeName(step.source));
            reached.insert(step.target);
            reached.remove(step.source);
            continue;
        }
        failedTargets.insert(step.target);
        if (!attempt.given)
            notGiven(step);
        outcome.problems.push_back(attempt.error < 0 ? handle.failure(step.name)
                                                     : failureOfErrno(attempt.error, step.name));
    }
    std::erase_if(outcome.vacated,
                  [&](const QString& name) { return reached.contains(QFile::encodeName(name)); });
    outcome.path = renamer.path();
    return outcome;
}
