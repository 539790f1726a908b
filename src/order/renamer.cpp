#include "renamer.h"

#include "fileerror.h"
#include "folderhandle.h"
#include "noreplace.h"

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

std::vector<RenameProblem> renameFiles(const RenamePlan& plan) {
    std::vector<RenameProblem> failures;
    const FolderHandle folder(plan.folder);
    Renamer renamer(folder.fd());
    for (const RenameStep& step : plan.steps) {
        if (!folder.isOpen())
            failures.push_back({step.name, folder.errorText()});
        else if (const int error = renamer.rename(step); error != 0)
            failures.push_back({step.name, fileErrorText(error)});
    }
    return failures;
}
