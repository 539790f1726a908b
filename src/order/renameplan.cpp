#include "renameplan.h"

#include "datum.h"
#include "fileerror.h"
#include "folderhandle.h"
#include "foldernames.h"
#include "numberedlist.h"
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

constexpr char temporaryPrefix[] = "~temlo-";

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
    QString problem;
};

struct Inspection {
    bool missing = false;
    QString problem; // why it is not the row's file; empty when it is
};

class Planner {
public:
    Planner(const QString& folder, const QString& separator, std::span<const RenamedName> journal)
        : m_handle(folder), m_separator(separator) {
        m_plan.folder = folder;
        for (const RenamedName& entry : journal)
            m_given.insert(entry.original, QFile::encodeName(entry.numbered));
    }

    void add(qsizetype sequence, const CatalogueRow& row);
    bool refuseReadOnly();
    RenamePlan finish();

private:
    QString targetProblem(const QString& target, const QByteArray& encoded) const;
    Found find(const CatalogueRow& row, const QByteArray& original, QList<QByteArray> candidates);
    Inspection inspect(const CatalogueRow& row, const QByteArray& name);
    bool knownMissing(const QByteArray& name) const;
    void readNames();
    QByteArray temporaryName();
    void refuse(const CatalogueRow& row, const QString& reason) {
        m_plan.problems.push_back({row.filename, reason});
    }

    FolderHandle m_handle;
    const QString& m_separator;
    RenamePlan m_plan;
    QMultiHash<QString, QByteArray> m_given; // by original name
    QSet<QByteArray> m_claimed;              // files already planned
    // Read once the first name is found missing: looking up names that do not exist one by
    // one is slow in large folders, and a renamed folder misses most original names.
    std::optional<QSet<QByteArray>> m_names;
    bool m_namesRead = false;
    QString m_temporaryStem;
    int m_temporaryCount = 0;
};

void Planner::add(qsizetype sequence, const CatalogueRow& row) {
    if (!m_handle.isOpen())
        return refuse(row, m_handle.errorText());
    if (!isNameWithinFolder(row.filename))
        return refuse(row, QStringLiteral("název souboru by vedl mimo složku"));
    const QByteArray original = QFile::encodeName(row.filename);
    if (!namesFileExactly(row.filename, original))
        return refuse(row, QStringLiteral("název souboru obsahuje neplatné znaky"));
    const QString target = numberedName(sequence, row.filename, m_separator);
    const QByteArray encodedTarget = QFile::encodeName(target);
    if (const QString problem = targetProblem(target, encodedTarget); !problem.isEmpty())
        return refuse(row, problem);

    QList<QByteArray> given = m_given.values(row.filename);
    const bool recorded = given.contains(encodedTarget);
    const Found found = find(row, original, std::move(given));
    if (!found.problem.isEmpty())
        return refuse(row, found.problem);
    m_claimed.insert(found.name);
    if (found.name != encodedTarget)
        m_plan.steps.push_back({row.filename, found.name, encodedTarget, recorded});
    if (found.name != original)
        m_plan.undoSteps.push_back({row.filename, found.name, original});
}

QString Planner::targetProblem(const QString& target, const QByteArray& encoded) const {
    if (!isNameWithinFolder(target))
        return QStringLiteral("nový název by vedl mimo složku");
    if (!namesFileExactly(target, encoded))
        return QStringLiteral("nový název obsahuje neplatné znaky");
    if (encoded.size() > NAME_MAX)
        return QStringLiteral("nový název by byl příliš dlouhý");
    return {};
}

// Under a name the program gave it, or under its original name. Of two files that both stand
// for the row, the one still as the scan saw it.
Found Planner::find(const CatalogueRow& row, const QByteArray& original,
                    QList<QByteArray> candidates) {
    candidates << original;
    QString problem = QStringLiteral("soubor ve složce chybí");
    for (const QByteArray& name : candidates) {
        if (m_claimed.contains(name)) {
            problem = QStringLiteral("soubor je v katalogu vícekrát");
            continue;
        }
        const Inspection inspection =
            knownMissing(name) ? Inspection{true, {}} : inspect(row, name);
        if (inspection.missing) {
            if (name != original)
                m_plan.gone.push_back(QFile::decodeName(name));
        } else if (inspection.problem.isEmpty()) {
            return {name, {}};
        } else {
            problem = inspection.problem;
        }
    }
    return {{}, problem};
}

// Whether the file `name` is the row's file as the scan saw it.
Inspection Planner::inspect(const CatalogueRow& row, const QByteArray& name) {
    struct stat file {};
    if (::fstatat(m_handle.fd(), name.constData(), &file, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT)
            return {false, fileErrorText(errno)};
        readNames();
        return {true, {}};
    }
    // A link is renamed itself; what it points to is never touched. Its time is that of the
    // file it points to, as the scan read it.
    if (S_ISLNK(file.st_mode) && ::fstatat(m_handle.fd(), name.constData(), &file, 0) != 0)
        return {false, QStringLiteral("odkaz nevede na žádný soubor")};
    if (!S_ISREG(file.st_mode))
        return {false, QStringLiteral("není obyčejný soubor")};
    if (storedDatum(file.st_mtim) != row.datum)
        return {false, QStringLiteral("soubor se od procházení složky změnil")};
    return {};
}

bool Planner::knownMissing(const QByteArray& name) const {
    return m_names && !m_names->contains(name);
}

void Planner::readNames() {
    if (!m_namesRead)
        m_names = readFolderNames(m_handle.fd());
    m_namesRead = true;
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
    m_plan.refusal = QStringLiteral("Složka „%1“ je na disku, který je připojen jen pro čtení; "
                                    "soubory v ní nelze přejmenovat.")
                         .arg(m_plan.folder);
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
                       const QString& separator, std::span<const RenamedName> journal) {
    Planner planner(folder, separator, journal);
    if (!rows.empty() && planner.refuseReadOnly())
        return planner.finish();
    qsizetype sequence = 0;
    for (const CatalogueRow& row : rows)
        planner.add(++sequence, row);
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

bool isTemporaryName(const QByteArray& name) {
    return name.startsWith(temporaryPrefix);
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
