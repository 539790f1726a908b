#include "listingprinter.h"

#include "listingfont.h"

#include <QPainter>
#include <QPrinter>
#include <algorithm>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// Qt's PDF writer allocates and frees buffers of megabytes for every page. glibc would map
// and unmap each of them (and trim the heap after each free), faulting fresh pages in every
// time; served from a heap that keeps its free top, they are reused instead.
void reuseLargeBuffers() {
#ifdef __GLIBC__
    static const bool tuned = [] {
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
        mallopt(M_TRIM_THRESHOLD, 64 << 20);
        return true;
    }();
    Q_UNUSED(tuned);
#endif
}

void drawPage(QPainter& painter, const ListingPage& page, const ListingMetrics& metrics,
              qreal ascent) {
    const qreal nameX = columnOffset(nameColumn, metrics.charWidth);
    const qreal dateX = columnOffset(dateColumn, metrics.charWidth);
    qreal baseline = ascent;
    for (const ListingLine& line : page) {
        if (!line.name.isEmpty())
            painter.drawText(QPointF(nameX, baseline), line.name);
        if (!line.date.isEmpty())
            painter.drawText(QPointF(dateX, baseline), line.date);
        baseline += metrics.lineHeight;
    }
}

bool drawPages(QPrinter& printer, QPainter& painter, const Listing& listing) {
    painter.setFont(listingFont());
    const QFontMetricsF font(painter.font(), &printer);
    const ListingMetrics metrics = listingMetrics(font, QSizeF(printer.width(), printer.height()));
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

// Many printers cannot put ink within a few millimetres of the paper's edge.
void reservePrintMargins(QPrinter& printer) {
    constexpr qreal leastMm = 15;
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    const QMarginsF now = layout.margins(), least = layout.minimumMargins();
    const auto side = [](qreal current, qreal minimum) {
        return std::max({leastMm, current, minimum});
    };
    layout.setMargins({side(now.left(), least.left()), side(now.top(), least.top()),
                       side(now.right(), least.right()), side(now.bottom(), least.bottom())});
    printer.setPageLayout(layout);
}

Result<void> printListing(QPrinter* printer, const Listing& listing) {
    reuseLargeBuffers();
    QPainter painter;
    if (printer)
        reservePrintMargins(*printer);
    if (!printer || !painter.begin(printer))
        return Failure{Fault::NoPrinter, {}, {}};
    if (!drawPages(*printer, painter, listing)) {
        printer->abort();
        painter.end();
        return Failure{Fault::PrintAborted, {}, {}};
    }
    if (!painter.end() || printer->printerState() == QPrinter::Error)
        return Failure{Fault::PrinterFailed, {}, {}};
    return {};
}
