#include "renamer.h"

#include "folderhandle.h"
#include "noreplace.h"

#include <QFile>
#include <QSet>
#include <cerrno>

namespace {

// Uses the no-replace rename, and the link fallback from the first time the file system
// answers that it does not know that rename.
class Renamer {
public:
    explicit Renamer(int folderFd) : m_folderFd(folderFd) {}

    int rename(const RenameStep& step) {
        const char* from = step.source.constData();
        const char* to = step.target.constData();
        if (!m_linkOnly) {
            const int error = renameNoReplace(m_folderFd, from, to);
            if (error != EINVAL && error != ENOSYS)
                return error;
            m_linkOnly = true;
        }
        return linkThenUnlink(m_folderFd, from, to);
    }

private:
    int m_folderFd;
    bool m_linkOnly = false;
};

} // namespace

RenameOutcome renameFiles(const QString& folder, std::span<const RenameStep> steps) {
    RenameOutcome outcome;
    const FolderHandle handle(folder);
    Renamer renamer(handle.fd());
    QSet<QByteArray> failedTargets; // a file that stayed short of a temporary name
    QSet<QByteArray> reached;
    for (const RenameStep& step : steps) {
        if (failedTargets.contains(step.source))
            continue; // reported at its first step
        const int error = handle.isOpen() ? renamer.rename(step) : -1;
        if (error == 0) {
            outcome.vacated.push_back(QFile::decodeName(step.source));
            reached.insert(step.target);
            reached.remove(step.source);
            continue;
        }
        failedTargets.insert(step.target);
        outcome.problems.push_back(error < 0 ? handle.failure(step.name)
                                             : failureOfErrno(error, step.name));
    }
    std::erase_if(outcome.vacated,
                  [&](const QString& name) { return reached.contains(QFile::encodeName(name)); });
    return outcome;
}
