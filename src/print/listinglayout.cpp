#include "listinglayout.h"

#include <QFontMetricsF>
#include <QStringList>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace {

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

// Where the characters a reader sees as one end; a line is never broken inside them.
std::vector<qsizetype> characterEnds(const QString& text) {
    std::vector<qsizetype> ends;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype end = finder.toNextBoundary(); end > 0; end = finder.toNextBoundary())
        ends.push_back(end);
    return ends;
}

// The length of the first line of a text too wide for `room`: up to a space in the last
// quarter of what fits, otherwise all that fits; at least one character, so it ends.
qsizetype firstLineLength(const QString& text, qreal room, const ListingMetrics& metrics) {
    const std::vector<qsizetype> ends = characterEnds(text);
    const auto fitting = std::partition_point(ends.begin(), ends.end(), [&](qsizetype end) {
        return !reaches(text.left(end), room, metrics);
    });
    const qsizetype length = fitting == ends.begin() ? ends.front() : *std::prev(fitting);
    const qsizetype space = text.lastIndexOf(u' ', length - 1);
    return space >= 0 && 4 * (space + 1) > 3 * length ? space + 1 : length;
}

QStringList wrapped(QString text, qreal room, const ListingMetrics& metrics) {
    QStringList lines;
    while (!text.isEmpty() && reaches(text, room, metrics)) {
        const qsizetype length = firstLineLength(text, room, metrics);
        lines << text.left(length);
        text.remove(0, length);
    }
    lines << text;
    return lines;
}

struct Rooms {
    qreal line = 0; // from column 5 to the right edge
    qreal name = 0; // from column 5 to column 70
    qreal date = 0; // from column 70 to the right edge
};

Rooms roomsOf(const ListingMetrics& metrics) {
    const qreal atName = columnOffset(nameColumn, metrics.charWidth);
    const qreal atDate = columnOffset(dateColumn, metrics.charWidth);
    return {metrics.pageWidth - atName, atDate - atName, metrics.pageWidth - atDate};
}

struct LaidOutLines {
    std::vector<ListingLine> lines;
    std::vector<qsizetype> blockEnds; // lines that a page break must not separate
};

void appendWrapped(LaidOutLines& out, const QString& text, const Rooms& rooms,
                   const ListingMetrics& metrics) {
    for (QString& line : wrapped(text, rooms.line, metrics))
        out.lines.push_back({std::move(line), {}});
}

// A date too wide for the room after column 70 (a narrow page) goes under the name instead.
void appendRow(LaidOutLines& out, const QString& name, QString date, const Rooms& rooms,
               const ListingMetrics& metrics) {
    QStringList nameLines = wrapped(name, rooms.line, metrics);
    QString last = nameLines.takeLast();
    for (QString& line : nameLines)
        out.lines.push_back({std::move(line), {}});
    if (!date.isEmpty() && reaches(date, rooms.date, metrics)) {
        out.lines.push_back({std::move(last), {}});
        appendWrapped(out, date, rooms, metrics);
    } else if (reaches(last, rooms.name, metrics)) {
        out.lines.push_back({std::move(last), {}});
        out.lines.push_back({{}, std::move(date)});
    } else {
        out.lines.push_back({std::move(last), std::move(date)});
    }
}

LaidOutLines listingLines(const Listing& listing, const ListingMetrics& metrics) {
    const Rooms rooms = roomsOf(metrics);
    const QString dashes = QStringLiteral("-------");
    LaidOutLines out;
    out.lines.reserve(4 + listing.entries.size());
    out.lines.emplace_back();
    out.blockEnds.push_back(1);
    appendWrapped(out, dashes + listing.dirpath + dashes, rooms, metrics);
    out.blockEnds.push_back(qsizetype(out.lines.size()));
    for (int blank = 0; blank < 2; ++blank) {
        out.lines.emplace_back();
        out.blockEnds.push_back(qsizetype(out.lines.size()));
    }
    for (const ListingEntry& entry : listing.entries) {
        appendRow(out, entry.name, entry.date, rooms, metrics);
        out.blockEnds.push_back(qsizetype(out.lines.size()));
    }
    return out;
}

// Where pages end: before a block that does not fit on the rest of a page, and inside a block
// only when it is taller than a page.
std::vector<qsizetype> pageEnds(const std::vector<qsizetype>& blockEnds, qsizetype perPage) {
    std::vector<qsizetype> ends;
    qsizetype pageStart = 0, blockStart = 0;
    for (qsizetype blockEnd : blockEnds) {
        if (blockEnd - pageStart > perPage && blockStart > pageStart)
            ends.push_back(pageStart = blockStart);
        while (blockEnd - pageStart > perPage)
            ends.push_back(pageStart += perPage);
        blockStart = blockEnd;
    }
    if (blockStart > pageStart)
        ends.push_back(blockStart);
    return ends;
}

} // namespace

ListingMetrics listingMetrics(const QFontMetricsF& font, QSizeF printable) {
    return {font.averageCharWidth(),
            font.maxWidth(),
            font.lineSpacing(),
            printable.height(),
            printable.width(),
            [font](const QString& text) { return font.horizontalAdvance(text); }};
}

qreal columnOffset(int column, qreal charWidth) {
    return (column - 1) * charWidth;
}

std::vector<ListingPage> listingPages(const Listing& listing, const ListingMetrics& metrics) {
    // A page holds at least one line, so even an oversized font makes progress.
    const auto perPage = std::max<qsizetype>(1, qsizetype(metrics.pageHeight / metrics.lineHeight));
    LaidOutLines laidOut = listingLines(listing, metrics);
    std::vector<ListingPage> pages;
    auto first = laidOut.lines.begin();
    for (qsizetype end : pageEnds(laidOut.blockEnds, perPage)) {
        const auto last = laidOut.lines.begin() + end;
        pages.emplace_back(std::make_move_iterator(first), std::make_move_iterator(last));
        first = last;
    }
    return pages;
}
