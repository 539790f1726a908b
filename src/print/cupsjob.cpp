#include "cupsjob.h"

#include "listingprinter.h"

#include <QFile>
#include <cups/cups.h>

namespace {

struct CupsError {
    ipp_status_t status;
    QString reason;
};

CupsError lastCupsError() {
    return {cupsLastError(), QString::fromUtf8(cupsLastErrorString())};
}

QString withReason(const QString& text, const CupsError& error) {
    return QStringLiteral("%1\n(CUPS: %2)").arg(text, error.reason);
}

bool schedulerReachable() {
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                5000, nullptr);
    httpClose(http);
    return http != nullptr;
}

const QString schedulerGoneText =
    QStringLiteral("Tiskový systém CUPS neběží nebo není dostupný. Nic se nevytisklo.");

QString refusalCause(const QString& printer, ipp_status_t status) {
    const QString quoted = u'„' + printer + u'“';
    switch (status) {
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        return QStringLiteral("Tiskárna %1 nepřijímá tiskové úlohy.").arg(quoted);
    case IPP_STATUS_ERROR_NOT_FOUND:
        return QStringLiteral("Tiskárna %1 neexistuje, nejspíš byla odebrána.").arg(quoted);
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_CUPS_AUTHENTICATION_CANCELED:
        return QStringLiteral("K tisku na tiskárně %1 nemáte oprávnění.").arg(quoted);
    default:
        if (!schedulerReachable())
            return QStringLiteral("Tiskový systém CUPS neběží nebo není dostupný.");
        return QStringLiteral("Tiskárna %1 úlohu odmítla.").arg(quoted);
    }
}

QString refusalText(const QString& printer, const CupsError& error) {
    return withReason(refusalCause(printer, error.status) + QStringLiteral(" Nic se nevytisklo."),
                      error);
}

// The document is finished also after a failed write: that reads the scheduler's answer.
bool sendDocument(const char* printer, int job, const QByteArray& pdf) {
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, printer, job, "listing.pdf", CUPS_FORMAT_PDF, 1) !=
        HTTP_STATUS_CONTINUE)
        return false;
    const bool written = cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(),
                                              size_t(pdf.size())) == HTTP_STATUS_CONTINUE;
    const bool finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, printer) == IPP_STATUS_OK;
    return written && finished;
}

} // namespace

DestinationLookup defaultCupsDestination() {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest) {
        const CupsError error = lastCupsError();
        return {std::nullopt,
                withReason(schedulerReachable() ? noPrinterText() : schedulerGoneText, error)};
    }
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    CupsDestination found{QString::fromUtf8(dest->name),
                          state && QByteArray(state).toInt() == IPP_PSTATE_STOPPED};
    cupsFreeDests(1, dest);
    return {std::move(found), {}};
}

QString submitPdf(const CupsDestination& destination, const QString& path, const QString& title) {
    QFile file(path);
    const QByteArray pdf = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (file.error() != QFile::NoError)
        return QStringLiteral("Tisk se nezdařil: dočasný soubor %1 nelze přečíst (%2). Nic se "
                              "nevytisklo.")
            .arg(path, file.errorString());
    const QByteArray printer = destination.name.toUtf8();
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, printer.constData(),
                                  title.toUtf8().constData(), 0, nullptr);
    if (job == 0)
        return refusalText(destination.name, lastCupsError());
    if (!sendDocument(printer.constData(), job, pdf)) {
        const CupsError error = lastCupsError();
        cupsCancelJob2(CUPS_HTTP_DEFAULT, printer.constData(), job, 0);
        return refusalText(destination.name, error);
    }
    if (destination.stopped)
        return QStringLiteral("Tisková úloha čeká ve frontě tiskárny „%1“: tiskárna je zastavená. "
                              "Vytiskne se, až ji někdo znovu spustí.")
            .arg(destination.name);
    return {};
}
