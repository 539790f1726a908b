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

QString printOnDefaultPrinter(const Listing& listing) {
    const DestinationLookup lookup = defaultCupsDestination();
    if (!lookup.destination)
        return lookup.problem;
    QTemporaryFile pdf(QDir::tempPath() + QStringLiteral("/temlo_rundel-XXXXXX.pdf"));
    if (!pdf.open())
        return QStringLiteral("Tisk se nezdařil: nelze vytvořit dočasný soubor v %1 (%2). Nic se "
                              "nevytisklo.")
            .arg(QDir::tempPath(), pdf.errorString());
    pdf.close();
    QString error =
        printListing(pdfPrinterLike(lookup.destination->name, pdf.fileName()).get(), listing);
    if (!error.isEmpty())
        return error;
    return submitPdf(*lookup.destination, pdf.fileName(), QStringLiteral("TEMLO_RUNDEL"));
}
