#pragma once

#include <QSizeF>
#include <QString>
#include <functional>
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
    QString name;
    QString date;

    bool operator==(const ListingLine&) const = default;
};

using ListingPage = std::vector<ListingLine>;

// A row as printed: its numbered name and its date text.
struct ListingEntry {
    QString name;
    QString date;
};

struct Listing {
    QString dirpath;
    std::vector<ListingEntry> entries; // in print order
};

// Where the names and the dates start, in average character widths of the print font.
constexpr int nameColumn = 5;
constexpr int dateColumn = 70;

// Column n starts n - 1 average character widths from the left of the printable area.
qreal columnOffset(int column, qreal charWidth);

// The whole listing laid out on pages: a blank line, the heading, two blank lines, then per
// entry its name and date. Text wider than the rest of the line continues on the
// next lines at column 5; a name whose last line reaches past column 70 has its date on the
// line after it. A row that does not fit on the rest of a page starts the next one.
std::vector<ListingPage> listingPages(const Listing& listing, const ListingMetrics& metrics);
