#include "renameplan.h"

#include "datum.h"
#include "fileerror.h"
#include "folderhandle.h"
#include "foldernames.h"
#include "numberedlist.h"

#include <QFile>
#include <QHash>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

bool isNameWithinFolder(const QString& name) {
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') &&
           !name.contains(QChar(0));
}

// A name read from bytes that were not valid UTF-8 holds U+FFFD and names no file exactly;
// renaming by it could meet another file.
bool namesFileExactly(const QString& name, const QByteArray& encoded) {
    return !name.contains(QChar::ReplacementCharacter) && QFile::decodeName(encoded) == name;
}

class Planner {
public:
    Planner(const QString& folder, const QString& separator)
        : m_handle(folder), m_separator(separator) {
        m_plan.folder = folder;
    }

    void add(qsizetype sequence, const CatalogueRow& row);
    RenamePlan finish();

private:
    void addExisting(const CatalogueRow& row, const struct stat& status, RenameStep step);
    void addMissing(const CatalogueRow& row, const QByteArray& target);
    bool knownMissing(const QByteArray& name) const;
    bool exists(const QByteArray& name);
    void refuse(const CatalogueRow& row, const QString& reason) {
        m_plan.problems.push_back({row.filename, reason});
    }

    FolderHandle m_handle;
    const QString& m_separator;
    RenamePlan m_plan;
    QHash<QByteArray, qsizetype> m_stepBySource;
    // Read once the first file is found missing: looking up names that do not exist one by
    // one is slow in large folders, and a second press finds every source missing.
    std::optional<QSet<QByteArray>> m_names;
    bool m_namesRead = false;
};

void Planner::add(qsizetype sequence, const CatalogueRow& row) {
    if (!m_handle.isOpen())
        return refuse(row, m_handle.errorText());
    if (!isNameWithinFolder(row.filename))
        return refuse(row, QStringLiteral("název souboru by vedl mimo složku"));
    RenameStep step{row.filename, QFile::encodeName(row.filename), {}};
    if (!namesFileExactly(row.filename, step.source))
        return refuse(row, QStringLiteral("název souboru obsahuje neplatné znaky"));
    const QString target = numberedName(sequence, row.filename, m_separator);
    if (!isNameWithinFolder(target))
        return refuse(row, QStringLiteral("nový název by vedl mimo složku"));
    step.target = QFile::encodeName(target);
    if (m_stepBySource.contains(step.source))
        return refuse(row, QStringLiteral("soubor je v katalogu vícekrát"));

    if (knownMissing(step.source))
        return addMissing(row, step.target);
    struct stat status {};
    if (::fstatat(m_handle.fd(), step.source.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0)
        return addExisting(row, status, std::move(step));
    if (errno == ENOENT)
        return addMissing(row, step.target);
    refuse(row, fileErrorText(errno));
}

void Planner::addExisting(const CatalogueRow& row, const struct stat& status, RenameStep step) {
    struct stat file = status;
    // A link is renamed itself; what it points to is never touched. Its time is that of the
    // file it points to, as the scan read it.
    if (S_ISLNK(status.st_mode) && ::fstatat(m_handle.fd(), step.source.constData(), &file, 0) != 0)
        return refuse(row, QStringLiteral("odkaz nevede na žádný soubor"));
    if (!S_ISREG(file.st_mode))
        return refuse(row, QStringLiteral("není obyčejný soubor"));
    if (storedDatum(file.st_mtim) != row.datum)
        return refuse(row, QStringLiteral("soubor se od procházení složky změnil"));
    m_stepBySource.insert(step.source, qsizetype(m_plan.steps.size()));
    m_plan.steps.push_back(std::move(step));
}

void Planner::addMissing(const CatalogueRow& row, const QByteArray& target) {
    // Renamed already, by an earlier press or a run that stopped midway.
    if (!exists(target))
        refuse(row, QStringLiteral("soubor ve složce chybí"));
}

bool Planner::knownMissing(const QByteArray& name) const {
    return m_names && !m_names->contains(name);
}

bool Planner::exists(const QByteArray& name) {
    if (!m_namesRead) {
        m_names = readFolderNames(m_handle.fd());
        m_namesRead = true;
    }
    if (m_names)
        return m_names->contains(name);
    struct stat status {};
    return ::fstatat(m_handle.fd(), name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

// A step whose target is still held by another step's source runs after that step. A target
// is always longer than its source, so these dependencies never form a cycle.
RenamePlan Planner::finish() {
    std::vector<RenameStep>& steps = m_plan.steps;
    std::vector<RenameStep> ordered;
    ordered.reserve(steps.size());
    std::vector<bool> placed(steps.size(), false);
    std::vector<qsizetype> chain;
    for (qsizetype first = 0; first < qsizetype(steps.size()); ++first) {
        for (qsizetype i = first; i >= 0 && !placed[i];
             i = m_stepBySource.value(steps[i].target, -1)) {
            placed[i] = true;
            chain.push_back(i);
        }
        std::reverse(chain.begin(), chain.end());
        for (const qsizetype i : chain)
            ordered.push_back(std::move(steps[i]));
        chain.clear();
    }
    steps = std::move(ordered);
    return std::move(m_plan);
}

} // namespace

RenamePlan planRenames(const QString& folder, std::span<const CatalogueRow> rows,
                       const QString& separator) {
    Planner planner(folder, separator);
    qsizetype sequence = 0;
    for (const CatalogueRow& row : rows)
        planner.add(++sequence, row);
    return planner.finish();
}
