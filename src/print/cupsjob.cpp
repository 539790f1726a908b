#include "cupsjob.h"

#include <QFile>
#include <cups/cups.h>

namespace {

bool schedulerReachable() {
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                5000, nullptr);
    httpClose(http);
    return http != nullptr;
}

Fault refusalFault(ipp_status_t status) {
    switch (status) {
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        return Fault::NotAccepting;
    case IPP_STATUS_ERROR_NOT_FOUND:
        return Fault::PrinterGone;
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_CUPS_AUTHENTICATION_CANCELED:
        return Fault::NotAuthorized;
    default:
        return schedulerReachable() ? Fault::Refused : Fault::SchedulerDown;
    }
}

// CUPS's last answer, taken before asking it anything more.
Failure refusal(const QString& printer) {
    const ipp_status_t status = cupsLastError();
    const QString reason = QString::fromUtf8(cupsLastErrorString());
    return {refusalFault(status), printer, reason};
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

Result<CupsDestination> defaultCupsDestination() {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest) {
        const QString reason = QString::fromUtf8(cupsLastErrorString());
        return Failure{schedulerReachable() ? Fault::NoPrinter : Fault::SchedulerDown, {}, reason};
    }
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    CupsDestination found{QString::fromUtf8(dest->name),
                          state && QByteArray(state).toInt() == IPP_PSTATE_STOPPED};
    cupsFreeDests(1, dest);
    return found;
}

Result<void> submitPdf(const CupsDestination& destination, const QString& path,
                       const QString& title) {
    QFile file(path);
    const QByteArray pdf = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (file.error() != QFile::NoError)
        return Failure{Fault::TemporaryFile, path, file.errorString()};
    const QByteArray printer = destination.name.toUtf8();
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, printer.constData(),
                                  title.toUtf8().constData(), 0, nullptr);
    if (job == 0)
        return refusal(destination.name);
    if (!sendDocument(printer.constData(), job, pdf)) {
        const Failure failure = refusal(destination.name);
        cupsCancelJob2(CUPS_HTTP_DEFAULT, printer.constData(), job, 0);
        return failure;
    }
    return {};
}
