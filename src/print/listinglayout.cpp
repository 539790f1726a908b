#include "listinglayout.h"

#include "datum.h"
#include "numberedlist.h"
#include "shownname.h"

#include <QFontMetricsF>
#include <algorithm>

namespace {

constexpr int nameColumn = 5;
constexpr int dateColumn = 70;

// Latin letters up to Latin Extended-A (all Czech ones) come from the print font itself, whose
// widest character bounds the width of such a text without shaping it.
bool fitsWithoutMeasuring(const QString& text, qreal room, qreal maxCharWidth) {
    if (qreal(text.size()) * maxCharWidth > room)
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x180; });
}

bool reaches(const QString& text, qreal room, const ListingMetrics& metrics) {
    return !fitsWithoutMeasuring(text, room, metrics.maxCharWidth) &&
           metrics.textWidth(text) > room;
}

std::vector<ListingLine> listingLines(const Listing& listing, const ListingMetrics& metrics) {
    const QString dashes = QStringLiteral("-------");
    std::vector<ListingLine> lines{{}, {dashes + listing.dirpath + dashes, {}}, {}, {}};
    lines.reserve(lines.size() + 2 * listing.rows.size());
    const qreal room =
        columnOffset(dateColumn, metrics.charWidth) - columnOffset(nameColumn, metrics.charWidth);
    const DatumTextFormat datumFormat;
    qsizetype sequence = 0;
    for (const CatalogueRow& row : listing.rows) {
        QString name = numberedName(++sequence, shownName(row.filename), listing.separator);
        QString date = datumFormat.text(row.datum);
        if (reaches(name, room, metrics)) {
            lines.push_back({std::move(name), {}});
            lines.push_back({{}, std::move(date)});
        } else {
            lines.push_back({std::move(name), std::move(date)});
        }
    }
    return lines;
}

} // namespace

ListingMetrics listingMetrics(const QFontMetricsF& font, qreal pageHeight) {
    return {font.averageCharWidth(), font.maxWidth(), font.lineSpacing(), pageHeight,
            [font](const QString& text) { return font.horizontalAdvance(text); }};
}

qreal columnOffset(int column, qreal charWidth) {
    return (column - 1) * charWidth;
}

std::vector<ListingPage> listingPages(const Listing& listing, const ListingMetrics& metrics) {
    // A page holds at least one line, so even an oversized font makes progress.
    const auto perPage = std::max<qsizetype>(1, qsizetype(metrics.pageHeight / metrics.lineHeight));
    std::vector<ListingLine> lines = listingLines(listing, metrics);
    std::vector<ListingPage> pages;
    for (auto first = lines.begin(); first != lines.end();) {
        const auto last = first + std::min<qsizetype>(perPage, lines.end() - first);
        pages.emplace_back(std::make_move_iterator(first), std::make_move_iterator(last));
        first = last;
    }
    return pages;
}
