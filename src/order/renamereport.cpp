#include "renamereport.h"

#include "shownname.h"

#include <QStringList>
#include <algorithm>

namespace {

// Czech accusative: 1 soubor, 2 až 4 soubory, 0 a 5 a více souborů.
QString fileCount(qsizetype count) {
    if (count == 1)
        return QStringLiteral("1 soubor");
    if (count >= 2 && count <= 4)
        return QStringLiteral("%1 soubory").arg(count);
    return QStringLiteral("%1 souborů").arg(count);
}

// Middle of a long name elided, so that the message stays narrower than the screen; the
// start and the end (the number, the extension) are what tells files apart.
QString reportedName(const QString& name) {
    QString shown = shownName(name);
    if (shown.size() <= reportedNameLength)
        return shown;
    qsizetype head = (reportedNameLength - 1) / 2;
    qsizetype tail = reportedNameLength - 1 - head;
    if (shown.at(head - 1).isHighSurrogate())
        --head;
    if (shown.at(shown.size() - tail).isLowSurrogate())
        --tail;
    return shown.left(head) + u'…' + shown.right(tail);
}

struct ReasonGroup {
    QString reason;
    QStringList names;
};

// In the order each reason first occurs.
std::vector<ReasonGroup> groupedByReason(std::span<const RenameProblem> problems) {
    std::vector<ReasonGroup> groups;
    for (const RenameProblem& problem : problems) {
        auto group = std::ranges::find(groups, problem.reason, &ReasonGroup::reason);
        if (group == groups.end())
            group = groups.insert(groups.end(), ReasonGroup{problem.reason, {}});
        group->names << problem.name;
    }
    return groups;
}

} // namespace

QString renameQuestion(qsizetype count, const QString& folder) {
    return QStringLiteral("Přejmenovat %1 ve složce „%2“ na jejich číslované názvy?")
        .arg(fileCount(count), folder);
}

QString undoOffer(qsizetype count, const QString& folder, bool alone) {
    QString offer =
        QStringLiteral("„Vrátit původní názvy“ přejmenuje %1 zpět na názvy, které měly před "
                       "očíslováním.")
            .arg(fileCount(count));
    if (!alone)
        return offer;
    return QStringLiteral("Soubory ve složce „%1“ už mají své číslované názvy.\n").arg(folder) +
           offer;
}

QString renameReport(std::span<const RenameProblem> problems) {
    QString text = QStringLiteral("Tyto soubory nebyly přejmenovány:");
    for (const ReasonGroup& group : groupedByReason(problems)) {
        const qsizetype count = group.names.size();
        text += QStringLiteral("\n\n%1: %2").arg(group.reason, fileCount(count));
        for (const QString& name : group.names.first(std::min(count, renameReportLimit)))
            text += QStringLiteral("\n    ") + reportedName(name);
        if (count > renameReportLimit)
            text += QStringLiteral("\n    … a dalších: %1").arg(count - renameReportLimit);
    }
    return text;
}
