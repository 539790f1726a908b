#include "wording.h"

#include "listtexts.h"

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

QString quoted(const QString& text) {
    return u'„' + text + u'“';
}

// What the system says of a file, a folder or the catalogue, as part of a sentence.
QString systemCause(const Failure& failure) {
    switch (failure.fault) {
    case Fault::Missing:
        return QStringLiteral("soubor ve složce chybí");
    case Fault::NotAFolder:
    case Fault::FolderGone:
        return QStringLiteral("složka už neexistuje");
    case Fault::Denied:
        return QStringLiteral("přístup odepřen");
    case Fault::Exists:
        return QStringLiteral("soubor s novým názvem už existuje");
    case Fault::ReadOnly:
        return QStringLiteral("disk je jen pro čtení");
    case Fault::DiskFull:
        return QStringLiteral("disk je plný");
    case Fault::NameTooLong:
        return QStringLiteral("nový název by byl příliš dlouhý");
    case Fault::InUse:
        return QStringLiteral("soubor je právě používán");
    case Fault::IoError:
        return QStringLiteral("chyba čtení nebo zápisu");
    case Fault::ChangedSinceScan:
        return QStringLiteral("soubor se od procházení složky změnil");
    case Fault::ListedTwice:
        return QStringLiteral("soubor je v katalogu vícekrát");
    case Fault::NotOrdinary:
        return QStringLiteral("není obyčejný soubor");
    case Fault::BrokenLink:
        return QStringLiteral("odkaz nevede na žádný soubor");
    case Fault::LeadsOutside:
        return QStringLiteral("název souboru by vedl mimo složku");
    case Fault::InvalidName:
        return QStringLiteral("název souboru obsahuje neplatné znaky");
    case Fault::TargetLeadsOutside:
        return QStringLiteral("nový název by vedl mimo složku");
    case Fault::TargetInvalid:
        return QStringLiteral("nový název obsahuje neplatné znaky");
    default:
        return QStringLiteral("chyba systému (%1)").arg(failure.detail);
    }
}

QString catalogueCause(const Failure& failure) {
    switch (failure.fault) {
    case Fault::Missing:
        return QStringLiteral("soubor neexistuje");
    case Fault::TableMissing:
        return QStringLiteral("chybí tabulka filenametab");
    case Fault::FieldMissing:
        return QStringLiteral("v tabulce filenametab chybí pole %1").arg(failure.detail);
    case Fault::NotADatabase:
        return QStringLiteral("soubor není databáze");
    case Fault::Corrupt:
        return QStringLiteral("databáze je poškozená");
    case Fault::ReadOnly:
        return QStringLiteral("do databáze nelze zapisovat");
    case Fault::InUse:
        return QStringLiteral("databázi právě používá jiný program");
    case Fault::CannotOpen:
        return QStringLiteral("databázi nelze otevřít");
    case Fault::Denied:
        return QStringLiteral("přístup k databázi byl odepřen");
    case Fault::DiskFull:
        return QStringLiteral("disk je plný");
    case Fault::IoError:
        return QStringLiteral("chyba čtení nebo zápisu");
    default:
        return QStringLiteral("chyba databáze");
    }
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
std::vector<ReasonGroup> groupedByReason(std::span<const Failure> problems) {
    std::vector<ReasonGroup> groups;
    for (const Failure& problem : problems) {
        const QString reason = systemCause(problem);
        auto group = std::ranges::find(groups, reason, &ReasonGroup::reason);
        if (group == groups.end())
            group = groups.insert(groups.end(), ReasonGroup{reason, {}});
        group->names << problem.subject;
    }
    return groups;
}

QString withCupsReason(const QString& text, const Failure& failure) {
    if (failure.detail.isEmpty())
        return text;
    return QStringLiteral("%1\n(CUPS: %2)").arg(text, failure.detail);
}

} // namespace

QString scannedStatus(const QString& dirpath) {
    return QStringLiteral("Zvolen adresář: ") + dirpath;
}

QString sortingStatus() {
    return QStringLiteral("řadím a přejmenovávám");
}

QString sortedStatus(const SortOutcome& outcome) {
    const qsizetype failed = qsizetype(outcome.problems.size());
    if (outcome.done == RenameChoice::Undo)
        return failed == 0 ? QStringLiteral("HOTOVO - vráceny původní názvy")
                           : QStringLiteral("HOTOVO - nevráceno: %1").arg(failed);
    if (failed > 0)
        return QStringLiteral("HOTOVO - nepřejmenováno: %1").arg(failed);
    return outcome.done == RenameChoice::Rename ? QStringLiteral("HOTOVO - přejmenováno")
                                                : QStringLiteral("HOTOVO - seřazeno");
}

QString renameQuestion(const RenameOffer& offer) {
    QStringList parts;
    if (offer.toRename > 0)
        parts << QStringLiteral("Přejmenovat %1 ve složce %2 na jejich číslované názvy?")
                     .arg(fileCount(offer.toRename), quoted(offer.folder));
    if (offer.toRestore > 0) {
        QString undo = QStringLiteral("„Vrátit původní názvy“ přejmenuje %1 zpět na názvy, které "
                                      "měly před očíslováním.")
                           .arg(fileCount(offer.toRestore));
        if (offer.toRename == 0)
            undo.prepend(QStringLiteral("Soubory ve složce %1 už mají své číslované názvy.\n")
                             .arg(quoted(offer.folder)));
        parts << undo;
    }
    return parts.join(QStringLiteral("\n\n"));
}

QString renameReport(std::span<const Failure> problems) {
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

QString catalogueMessage(const Failure& failure) {
    QString cause = catalogueCause(failure);
    if (!failure.detail.isEmpty() && failure.fault != Fault::FieldMissing)
        cause += QStringLiteral(" (%1)").arg(failure.detail);
    return QStringLiteral("Katalog %1: %2.").arg(quoted(failure.subject), cause);
}

QString folderMessage(const Failure& failure) {
    const QString folder = quoted(failure.subject);
    switch (failure.fault) {
    case Fault::Missing:
        return QStringLiteral("Adresář %1 neexistuje nebo byl odstraněn.").arg(folder);
    case Fault::NotAFolder:
        return QStringLiteral("%1 není adresář.").arg(folder);
    case Fault::Denied:
        return QStringLiteral("Adresář %1 nelze číst: přístup odepřen.").arg(folder);
    default:
        return QStringLiteral("Adresář %1 nelze číst (%2).").arg(folder, systemCause(failure));
    }
}

QString printMessage(const Failure& failure) {
    const QString printer = quoted(failure.subject);
    const QString nothing = QStringLiteral(" Nic se nevytisklo.");
    switch (failure.fault) {
    case Fault::NoPrinter:
        return withCupsReason(QStringLiteral("Není k dispozici žádná tiskárna.") + nothing,
                              failure);
    case Fault::SchedulerDown:
        return withCupsReason(
            QStringLiteral("Tiskový systém CUPS neběží nebo není dostupný.") + nothing, failure);
    case Fault::NotAccepting:
        return withCupsReason(
            QStringLiteral("Tiskárna %1 nepřijímá tiskové úlohy.").arg(printer) + nothing, failure);
    case Fault::PrinterGone:
        return withCupsReason(
            QStringLiteral("Tiskárna %1 neexistuje, nejspíš byla odebrána.").arg(printer) + nothing,
            failure);
    case Fault::NotAuthorized:
        return withCupsReason(
            QStringLiteral("K tisku na tiskárně %1 nemáte oprávnění.").arg(printer) + nothing,
            failure);
    case Fault::TemporaryFile:
        return QStringLiteral("Tisk se nezdařil: s dočasným souborem %1 nelze pracovat (%2).")
                   .arg(failure.subject, failure.detail) +
               nothing;
    case Fault::PrintAborted:
        return QStringLiteral("Tisk se nezdařil, tiskárna ohlásila chybu. Tisková úloha byla "
                              "zrušena.");
    case Fault::PrinterFailed:
        return QStringLiteral("Tisk se nezdařil, tiskárna ohlásila chybu.");
    default:
        return withCupsReason(QStringLiteral("Tiskárna %1 úlohu odmítla.").arg(printer) + nothing,
                              failure);
    }
}

QString otherScanMessage(const QString& folder) {
    return QStringLiteral("Katalog mezitím přepsala jiná kopie programu procházením složky %1; "
                          "nic nebylo přejmenováno.")
        .arg(quoted(folder));
}

QString refusalMessage(const Failure& failure) {
    return QStringLiteral("Složka %1 je na disku, který je připojen jen pro čtení; soubory v ní "
                          "nelze přejmenovat.")
        .arg(quoted(failure.subject));
}

QString waitingJobMessage(const QString& printer) {
    return QStringLiteral("Tisková úloha čeká ve frontě tiskárny %1: tiskárna je zastavená. "
                          "Vytiskne se, až ji někdo znovu spustí.")
        .arg(quoted(printer));
}
