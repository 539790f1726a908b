#include "listingprinter.h"

#include "listingfont.h"

#include <QPainter>
#include <QPrinter>

namespace {

const QString noPrinterText = QStringLiteral("Není k dispozici žádná tiskárna. Nic se nevytisklo.");
const QString failedText = QStringLiteral("Tisk se nezdařil, tiskárna ohlásila chybu.");
const QString abortedText = failedText + QStringLiteral(" Tisková úloha byla zrušena.");

void drawPage(QPainter& painter, const ListingPage& page, const ListingMetrics& metrics,
              qreal ascent) {
    const qreal nameX = columnOffset(5, metrics.charWidth);
    const qreal dateX = columnOffset(70, metrics.charWidth);
    qreal baseline = ascent;
    for (const ListingLine& line : page) {
        if (!line.atColumn5.isEmpty())
            painter.drawText(QPointF(nameX, baseline), line.atColumn5);
        if (!line.atColumn70.isEmpty())
            painter.drawText(QPointF(dateX, baseline), line.atColumn70);
        baseline += metrics.lineHeight;
    }
}

bool drawPages(QPrinter& printer, QPainter& painter, const Listing& listing) {
    painter.setFont(listingFont());
    const QFontMetricsF font(painter.font(), &printer);
    const ListingMetrics metrics = listingMetrics(font, printer.height());
    bool first = true;
    for (const ListingPage& page : listingPages(listing, metrics)) {
        if (!first && !printer.newPage())
            return false;
        first = false;
        drawPage(painter, page, metrics, font.ascent());
        if (printer.printerState() == QPrinter::Error)
            return false;
    }
    return true;
}

} // namespace

QString printListing(QPrinter* printer, const Listing& listing) {
    QPainter painter;
    if (!printer || !painter.begin(printer))
        return noPrinterText;
    if (!drawPages(*printer, painter, listing)) {
        printer->abort();
        painter.end();
        return abortedText;
    }
    if (!painter.end() || printer->printerState() == QPrinter::Error)
        return failedText;
    return {};
}
