#include "benchactions.h"

#include "benchfolder.h"
#include "benchfuse.h"
#include "fixture.h"
#include "listinglayout.h"
#include "listtexts.h"
#include "mainwindow.h"
#include "numberedlist.h"

#include <QAccessible>
#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <optional>
#include <sys/resource.h>

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename F> double medianOf(int runs, F&& measure) {
    std::vector<double> values;
    for (int i = 0; i < runs; ++i)
        values.push_back(measure());
    return median(values);
}

double clickMilliseconds(MainWindow& window, const char* button) {
    auto* target = window.findChild<QPushButton*>(QLatin1String(button));
    QElapsedTimer timer;
    timer.start();
    target->click();
    // The user waits until the window shows the result: the repaint and the accessibility
    // updates the click queued count, and do not fall into the next measurement.
    QApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e6;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// The bridge connects to the accessibility bus asynchronously after start-up.
bool accessibilityActive() {
    const QDeadlineTimer deadline(3000);
    while (!QAccessible::isActive() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    return QAccessible::isActive();
}

QJsonObject row(const QString& action, double ms, const QString& floor, double floorMs) {
    return {{"action", action},
            {"ms", ms},
            {"floor", floor},
            {"floor_ms", floorMs},
            {"ratio", ms / floorMs}};
}

// The same listing as plain text in the same columns, for CUPS's own text filter.
QString writeListingText(const MainWindow& window, const QString& path) {
    const std::vector<CatalogueRow> rows = window.catalogue().orderedRead().value().rows;
    const ListingMetrics characters{1,   1,   1,
                                    1e9, 1e9, [](const QString& t) { return qreal(t.size()); }};
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QTextStream out(&file);
    const Module1& state = window.state();
    const Listing listing =
        printedListing(state.dirpath, rows, numberedNames(rows, state.separator));
    for (const ListingPage& page : listingPages(listing, characters))
        for (const ListingLine& line : page)
            out << "    " << line.name.leftJustified(65) << line.date << '\n';
    return path;
}

const QString renameLoopCommand =
    QStringLiteral("perl -e 'opendir D, $ARGV[0]; for (readdir D) { next if /^\\./; "
                   "rename \"$ARGV[0]/$_\", \"$ARGV[0]/x$_\" or die }' '%1'");

struct Floors {
    double findSort;
    double renameLoop;
};

Floors measureFloors(const QString& root, const QString& folder, int runs) {
    const double findSort = medianOf(runs, [&] {
        return shellMilliseconds(
            QStringLiteral("find '%1' -maxdepth 1 -type f -printf '%T@ %f\\n' | sort -n >/dev/null")
                .arg(folder));
    });
    const double renameFloor = medianOf(runs, [&] {
        const QString copy = linkedCopy(folder, root + QStringLiteral("/floor-copy"));
        return shellMilliseconds(renameLoopCommand.arg(copy));
    });
    return {findSort, renameFloor};
}

// "seřaď" renaming every file of a folder on a FUSE mount, against the rename loop on the same
// mount ("FUSE loop"); each run on fresh copies of the folder. None when there is no FUSE folder.
std::optional<QJsonObject> measureFuseRenaming(MainWindow& window, const QString& root, int files,
                                               int runs) {
    const std::unique_ptr<FuseFolder> fuse = FuseFolder::open(root);
    if (!fuse)
        return std::nullopt;
    const QString folder = ensureBenchFolder(fuse->direct(), files);
    const QString name = QFileInfo(folder).fileName();
    // A new name each time: the mount may still hold what it saw under an earlier copy's.
    QStringList copies;
    const auto copied = [&](const QString& copy) {
        copies << copy + QString::number(copies.size());
        linkedCopy(fuse->direct(name), fuse->direct(copies.last()));
        return fuse->mounted(copies.last());
    };
    const double accepted = medianOf(runs, [&] {
        window.setFolderChooser(StandInChooser::confirming(copied("fuse-rename")));
        window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        ModalAnswerer yes(QStringLiteral("Přejmenovat"));
        return clickMilliseconds(window, "Command2");
    });
    const double floor = medianOf(
        runs, [&] { return shellMilliseconds(renameLoopCommand.arg(copied("fuse-floor"))); });
    for (const QString& copy : copies)
        QDir(fuse->direct(copy)).removeRecursively();
    return row(QStringLiteral("seřaď + přejm. na FUSE"), accepted, QStringLiteral("FUSE loop"),
               floor);
}

} // namespace

QJsonObject measureSize(const QString& root, int files, int runs, const QStringList& actions) {
    const auto wanted = [&actions](const char* action) {
        return actions.isEmpty() || actions.contains(QLatin1String(action));
    };
    const QString folder = ensureBenchFolder(root, files);
    const Floors floors = measureFloors(root, folder, runs);
    const QString findFloor = QStringLiteral("find|sort");

    QTemporaryDir appDir;
    MainWindow window(appDir.path());
    window.show();
    const bool accessible = accessibilityActive();
    window.setPrinterFactory([&appDir] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(appDir.filePath(QStringLiteral("listing.pdf")));
        return printer;
    });

    QJsonArray rows;
    window.setFolderChooser(StandInChooser::confirming(folder));
    const double browse = medianOf(runs, [&] { return clickMilliseconds(window, "Command1"); });
    if (wanted("browse"))
        rows.append(row(QStringLiteral("procházej adresář"), browse, findFloor, floors.findSort));
    if (wanted("sort")) {
        const double declined = medianOf(runs, [&] {
            ModalAnswerer no(QStringLiteral("Ne"));
            return clickMilliseconds(window, "Command2");
        });
        rows.append(row(QStringLiteral("seřaď (odmítnuto)"), declined, findFloor, floors.findSort));
    }
    if (wanted("print")) {
        const double print = medianOf(runs, [&] { return clickMilliseconds(window, "Command3"); });
        rows.append(row(QStringLiteral("TISK do PDF"), print, findFloor, floors.findSort));
        const QString textFilter =
            QStringLiteral("/usr/sbin/cupsfilter -m application/pdf '%1' >/dev/null 2>&1")
                .arg(writeListingText(window, appDir.filePath(QStringLiteral("listing.txt"))));
        const double cupsFilter = medianOf(runs, [&] { return shellMilliseconds(textFilter); });
        rows.append(
            row(QStringLiteral("TISK do PDF"), print, QStringLiteral("cupsfilter"), cupsFilter));
    }
    if (wanted("rename")) {
        // A copy per run: the journal of an earlier run's copy at the same path would name
        // files that are gone.
        int copies = 0;
        const auto scanCopy = [&](const char* name) {
            const QString copy =
                linkedCopy(folder, root + u'/' + QLatin1String(name) + QString::number(++copies));
            window.setFolderChooser(StandInChooser::confirming(copy));
            window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
            return copy;
        };
        const auto renameAll = [&] {
            ModalAnswerer yes(QStringLiteral("Přejmenovat"));
            return clickMilliseconds(window, "Command2");
        };
        const double accepted = medianOf(runs, [&] {
            scanCopy("rename-copy");
            return renameAll();
        });
        const double renumbered = medianOf(runs, [&] {
            const QString copy = scanCopy("renumber-copy");
            renameAll();
            writeFile(copy + QStringLiteral("/older.jpg"), "older",
                      QDateTime(QDate(1990, 1, 1), {}));
            window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
            return renameAll();
        });
        rows.append(row(QStringLiteral("seřaď + přejmenování"), accepted,
                        QStringLiteral("rename loop"), floors.renameLoop));
        rows.append(row(QStringLiteral("seřaď + přečíslování"), renumbered,
                        QStringLiteral("rename loop"), floors.renameLoop));
    }
    if (wanted("fuse"))
        if (const std::optional<QJsonObject> fuse = measureFuseRenaming(window, root, files, runs))
            rows.append(*fuse);
    return {{"files", files},
            {"platform", QApplication::platformName()},
            {"accessibility", accessible},
            {"actions", rows},
            {"peak_memory_mb", peakMegabytes()}};
}
