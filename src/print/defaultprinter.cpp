#include "defaultprinter.h"

#include "cupsjob.h"
#include "listingprinter.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

namespace {

// A PDF writer with the page size and printable area of the named printer, where Qt knows it.
std::unique_ptr<QPrinter> pdfPrinterLike(const QString& printerName, const QString& path) {
    auto pdf = std::make_unique<QPrinter>(QPrinter::HighResolution);
    pdf->setOutputFormat(QPrinter::PdfFormat);
    pdf->setOutputFileName(path);
    const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
    if (!info.isNull())
        pdf->setPageLayout(QPrinter(info, QPrinter::HighResolution).pageLayout());
    return pdf;
}

} // namespace

Result<PrintedJob> printOnDefaultPrinter(const Listing& listing) {
    const Result<CupsDestination> destination = defaultCupsDestination();
    if (!destination.ok())
        return destination.failure();
    const CupsDestination& printer = destination.value();
    QTemporaryFile pdf(QDir::tempPath() + QStringLiteral("/temlo_rundel-XXXXXX.pdf"));
    if (!pdf.open())
        return Failure{Fault::TemporaryFile, QDir::tempPath(), pdf.errorString()};
    pdf.close();
    if (const Result<void> drawn =
            printListing(pdfPrinterLike(printer.name, pdf.fileName()).get(), listing);
        !drawn.ok())
        return drawn.failure();
    if (const Result<void> sent =
            submitPdf(printer, pdf.fileName(), QStringLiteral("TEMLO_RUNDEL"));
        !sent.ok())
        return sent.failure();
    return PrintedJob{printer.name, printer.stopped};
}
