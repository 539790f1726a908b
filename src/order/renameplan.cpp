#include "renameplan.h"

#include "datum.h"
#include "doublenames.h"
#include "folderentries.h"
#include "folderhandle.h"
#include "steporder.h"

#include <QFile>
#include <QHash>
#include <QUuid>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

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

// The file a row stands for, as found on disk, or why it was not found.
struct Found {
    QByteArray name;
    std::optional<Failure> problem;
};

struct Inspection {
    bool missing = false;
    std::optional<Failure> problem; // why it is not the row's file
};

class Planner {
public:
    Planner(const QString& folder, std::span<const RenamedName> journal) : m_handle(folder) {
        m_plan.folder = folder;
        for (const RenamedName& entry : journal)
            m_given.insert(entry.original, QFile::encodeName(entry.numbered));
    }

    void add(const CatalogueRow& row, const QString& target);
    bool refuseReadOnly();
    RenamePlan finish();

private:
    std::optional<Fault> targetProblem(const QString& target, const QByteArray& encoded) const;
    Found find(const CatalogueRow& row, const QByteArray& original, QList<QByteArray> candidates);
    Inspection inspect(const CatalogueRow& row, const QByteArray& name);
    bool knownMissing(const QByteArray& name) const;
    void readNames();
    QByteArray temporaryName();
    void refuse(const CatalogueRow& row, Fault fault) {
        m_plan.problems.push_back({fault, row.filename, {}});
    }

    FolderHandle m_handle;
    RenamePlan m_plan;
    QMultiHash<QString, QByteArray> m_given; // by original name
    QSet<QByteArray> m_claimed;              // files already planned
    // Read once the first name is found missing: looking up names that do not exist one by
    // one is slow in large folders, and a renamed folder misses most original names.
    std::optional<QSet<QByteArray>> m_names; // none when the folder cannot be read
    bool m_namesRead = false;
    QString m_temporaryStem;
    int m_temporaryCount = 0;
};

void Planner::add(const CatalogueRow& row, const QString& target) {
    if (!m_handle.isOpen())
        return m_plan.problems.push_back(m_handle.failure(row.filename));
    if (!isNameWithinFolder(row.filename))
        return refuse(row, Fault::LeadsOutside);
    const QByteArray original = QFile::encodeName(row.filename);
    if (!namesFileExactly(row.filename, original))
        return refuse(row, Fault::InvalidName);
    const QByteArray encodedTarget = QFile::encodeName(target);
    if (const std::optional<Fault> problem = targetProblem(target, encodedTarget))
        return refuse(row, *problem);

    QList<QByteArray> given = m_given.values(row.filename);
    const bool recorded = given.contains(encodedTarget);
    const Found found = find(row, original, std::move(given));
    if (found.problem)
        return m_plan.problems.push_back(*found.problem);
    m_claimed.insert(found.name);
    if (found.name != encodedTarget)
        m_plan.steps.push_back({row.filename, found.name, encodedTarget, recorded});
    if (found.name != original)
        m_plan.undoSteps.push_back({row.filename, found.name, original});
}

std::optional<Fault> Planner::targetProblem(const QString& target,
                                            const QByteArray& encoded) const {
    if (!isNameWithinFolder(target))
        return Fault::TargetLeadsOutside;
    if (!namesFileExactly(target, encoded))
        return Fault::TargetInvalid;
    if (encoded.size() > NAME_MAX)
        return Fault::NameTooLong;
    return std::nullopt;
}

// Under a name the program gave it, or under its original name. Of two files that both stand
// for the row, the one still as the scan saw it.
Found Planner::find(const CatalogueRow& row, const QByteArray& original,
                    QList<QByteArray> candidates) {
    candidates << original;
    Failure problem{Fault::Missing, row.filename, {}};
    for (const QByteArray& name : candidates) {
        if (m_claimed.contains(name)) {
            problem = {Fault::ListedTwice, row.filename, {}};
            continue;
        }
        const Inspection inspection =
            knownMissing(name) ? Inspection{true, std::nullopt} : inspect(row, name);
        if (inspection.missing) {
            if (name != original)
                m_plan.gone.push_back(QFile::decodeName(name));
        } else if (!inspection.problem) {
            return {name, std::nullopt};
        } else {
            problem = *inspection.problem;
        }
    }
    return {{}, problem};
}

// Whether the file `name` is the row's file as the scan saw it.
Inspection Planner::inspect(const CatalogueRow& row, const QByteArray& name) {
    struct stat file {};
    if (::fstatat(m_handle.fd(), name.constData(), &file, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT)
            return {false, failureOfErrno(errno, row.filename)};
        readNames();
        return {true, std::nullopt};
    }
    // A link is renamed itself; what it points to is never touched. Its time is that of the
    // file it points to, as the scan read it.
    if (S_ISLNK(file.st_mode) && ::fstatat(m_handle.fd(), name.constData(), &file, 0) != 0)
        return {false, Failure{Fault::BrokenLink, row.filename, {}}};
    if (!S_ISREG(file.st_mode))
        return {false, Failure{Fault::NotOrdinary, row.filename, {}}};
    if (storedDatum(file.st_mtim) != row.datum)
        return {false, Failure{Fault::ChangedSinceScan, row.filename, {}}};
    return {};
}

bool Planner::knownMissing(const QByteArray& name) const {
    return m_names && !m_names->contains(name);
}

void Planner::readNames() {
    if (m_namesRead)
        return;
    m_namesRead = true;
    Result<std::vector<FolderEntry>> entries = readFolder(m_handle.fd(), m_plan.folder);
    if (!entries.ok())
        return;
    m_names.emplace();
    m_names->reserve(qsizetype(entries.value().size()));
    for (FolderEntry& entry : entries.value())
        m_names->insert(std::move(entry.name));
}

// Visible, so that a scan after a crash lists the file, and recorded in the journal.
QByteArray Planner::temporaryName() {
    if (m_temporaryStem.isEmpty())
        m_temporaryStem =
            QLatin1String(temporaryPrefix) +
            QStringLiteral("%1-").arg(QUuid::createUuid().toString(QUuid::Id128).left(12));
    QByteArray name;
    do
        name = QFile::encodeName(m_temporaryStem + QString::number(++m_temporaryCount));
    while (!knownMissing(name) &&
           ::faccessat(m_handle.fd(), name.constData(), F_OK, AT_SYMLINK_NOFOLLOW) == 0);
    return name;
}

// Asked before anything else: no file there can be renamed, whatever it is.
bool Planner::refuseReadOnly() {
    struct statvfs fileSystem {};
    if (!m_handle.isOpen() || ::fstatvfs(m_handle.fd(), &fileSystem) != 0 ||
        !(fileSystem.f_flag & ST_RDONLY))
        return false;
    m_plan.refusal = Failure{Fault::ReadOnly, m_plan.folder, {}};
    return true;
}

RenamePlan Planner::finish() {
    m_claimed = {}; // one entry per file, not needed by the ordering, which builds its own
    const auto temporary = [this] { return temporaryName(); };
    m_plan.steps = orderSteps(std::move(m_plan.steps), temporary);
    m_plan.undoSteps = orderSteps(std::move(m_plan.undoSteps), temporary);
    return std::move(m_plan);
}

} // namespace

RenamePlan planRenames(const QString& folder, std::span<const CatalogueRow> rows,
                       const QStringList& numberedNames, std::span<const RenamedName> journal) {
    Planner planner(folder, journal);
    if (!rows.empty() && planner.refuseReadOnly())
        return planner.finish();
    for (qsizetype i = 0; i < numberedNames.size(); ++i)
        planner.add(rows[size_t(i)], numberedNames[i]);
    return planner.finish();
}

std::vector<RenamedName> namesGiven(std::span<const RenameStep> steps) {
    std::vector<RenamedName> given;
    given.reserve(steps.size());
    for (const RenameStep& step : steps)
        if (const QString target = QFile::decodeName(step.target); target != step.name)
            given.push_back({step.name, target});
    return given;
}

qsizetype filesMoved(std::span<const RenameStep> steps) {
    QSet<QByteArray> laterSources;
    qsizetype count = 0;
    for (auto i = qsizetype(steps.size()) - 1; i >= 0; --i) {
        count += laterSources.contains(steps[i].target) ? 0 : 1;
        laterSources.insert(steps[i].source);
    }
    return count;
}
