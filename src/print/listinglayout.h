#pragma once

#include "catalogue.h"

#include <QSizeF>
#include <QString>
#include <functional>
#include <span>
#include <vector>

class QFontMetricsF;

// Sizes of the print font and the printable area, in the units of the device drawn on.
struct ListingMetrics {
    qreal charWidth = 0;    // the font's average character width
    qreal maxCharWidth = 0; // the widest character of the font itself (no fallback fonts)
    qreal lineHeight = 0;
    qreal pageHeight = 0; // of the printable area
    qreal pageWidth = 0;  // of the printable area
    std::function<qreal(const QString&)> textWidth;
};

ListingMetrics listingMetrics(const QFontMetricsF& font, QSizeF printable);

// One printed line: a text that starts at column 5 and one that starts at column 70.
// An empty text prints nothing.
struct ListingLine {
    QString atColumn5;
    QString atColumn70;

    bool operator==(const ListingLine&) const = default;
};

using ListingPage = std::vector<ListingLine>;

struct Listing {
    std::span<const CatalogueRow> rows; // in print order
    QString dirpath;
    QString separator;
};

// Column n starts n - 1 average character widths from the left of the printable area.
qreal columnOffset(int column, qreal charWidth);

// The whole listing laid out on pages: a blank line, the heading, two blank lines, then per
// row its numbered name and date text. Text wider than the rest of the line continues on the
// next lines at column 5; a name whose last line reaches past column 70 has its date on the
// line after it. A row that does not fit on the rest of a page starts the next one.
std::vector<ListingPage> listingPages(const Listing& listing, const ListingMetrics& metrics);
