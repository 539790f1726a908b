#include "renamereport.h"

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
    const auto shown = std::min(qsizetype(problems.size()), renameReportLimit);
    for (const RenameProblem& problem : problems.first(shown))
        text += QStringLiteral("\n%1: %2").arg(problem.name, problem.reason);
    if (qsizetype(problems.size()) > shown)
        text += QStringLiteral("\n… a dalších: %1").arg(qsizetype(problems.size()) - shown);
    return text;
}
