#include "benchfolder.h"
#include "directorychooser.h"
#include "listinglayout.h"
#include "mainwindow.h"
#include "testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

struct Row {
    QString action;
    double ms;
    QString floor;
    double floorMs;
};

struct SizeResult {
    int files;
    std::vector<Row> rows;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double clickMilliseconds(MainWindow& window, const char* button) {
    auto* target = window.findChild<QPushButton*>(QLatin1String(button));
    QElapsedTimer timer;
    timer.start();
    target->click();
    return double(timer.nsecsElapsed()) / 1e6;
}

template <typename F> double medianOf(int runs, F&& measure) {
    std::vector<double> values;
    for (int i = 0; i < runs; ++i)
        values.push_back(measure());
    return median(values);
}

// The same listing as plain text in the same columns, for CUPS's own text filter.
QString writeListingText(const MainWindow& window, const QString& path) {
    const std::vector<CatalogueRow> rows = window.catalogue().orderedRows();
    const ListingMetrics characters{1,   1,   1,
                                    1e9, 1e9, [](const QString& t) { return qreal(t.size()); }};
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QTextStream out(&file);
    const Module1& state = window.state();
    for (const ListingPage& page : listingPages({rows, state.dirpath, state.separator}, characters))
        for (const ListingLine& line : page)
            out << "    " << line.atColumn5.leftJustified(65) << line.atColumn70 << '\n';
    return path;
}

SizeResult measureSize(const QString& root, int files, int runs) {
    const QString folder = ensureBenchFolder(root, files);
    const double findSort = medianOf(runs, [&] {
        return shellMilliseconds(
            QStringLiteral("find '%1' -maxdepth 1 -type f -printf '%T@ %f\\n' | sort -n >/dev/null")
                .arg(folder));
    });
    const QString renameLoop =
        QStringLiteral("perl -e 'opendir D, $ARGV[0]; for (readdir D) { next if /^\\./; "
                       "rename \"$ARGV[0]/$_\", \"$ARGV[0]/x$_\" or die }' '%1'");
    const double renameFloor = medianOf(runs, [&] {
        const QString copy = linkedCopy(folder, root + QStringLiteral("/floor-copy"));
        return shellMilliseconds(renameLoop.arg(copy));
    });

    QTemporaryDir appDir;
    MainWindow window(appDir.path());
    window.show();
    window.setPrinterFactory([&appDir] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(appDir.filePath(QStringLiteral("listing.pdf")));
        return printer;
    });

    window.setDirectoryChooser(StandInChooser::confirming(folder));
    const double browse = medianOf(runs, [&] { return clickMilliseconds(window, "Command1"); });
    const double declined = medianOf(runs, [&] {
        ModalAnswerer no(ModalAnswerer::clickButton(QStringLiteral("Ne")));
        return clickMilliseconds(window, "Command2");
    });
    const double print = medianOf(runs, [&] { return clickMilliseconds(window, "Command3"); });
    const QString textFilter = QStringLiteral("/usr/sbin/cupsfilter -m application/pdf '%1' "
                                              ">/dev/null 2>&1")
                                   .arg(writeListingText(window, appDir.filePath("listing.txt")));
    const double cupsFilter = medianOf(runs, [&] { return shellMilliseconds(textFilter); });
    // A copy per run: the journal of an earlier run's copy at the same path would name files
    // that are gone.
    int copies = 0;
    const auto scanCopy = [&](const char* name) {
        const QString copy = linkedCopy(folder, root + u'/' + name + QString::number(++copies));
        window.setDirectoryChooser(StandInChooser::confirming(copy));
        window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        return copy;
    };
    const auto renameAll = [&] {
        ModalAnswerer yes(ModalAnswerer::clickButton(QStringLiteral("Přejmenovat")));
        return clickMilliseconds(window, "Command2");
    };
    const double accepted = medianOf(runs, [&] {
        scanCopy("rename-copy");
        return renameAll();
    });
    const double renumbered = medianOf(runs, [&] {
        const QString copy = scanCopy("renumber-copy");
        renameAll();
        writeFile(copy + QStringLiteral("/older.jpg"), "older", QDateTime(QDate(1990, 1, 1), {}));
        window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        return renameAll();
    });

    const QString findFloor = QStringLiteral("find|sort");
    return {files,
            {{QStringLiteral("procházej adresář"), browse, findFloor, findSort},
             {QStringLiteral("seřaď (odmítnuto)"), declined, findFloor, findSort},
             {QStringLiteral("seřaď + přejmenování"), accepted, QStringLiteral("rename loop"),
              renameFloor},
             {QStringLiteral("seřaď + přečíslování"), renumbered, QStringLiteral("rename loop"),
              renameFloor},
             {QStringLiteral("TISK do PDF"), print, findFloor, findSort},
             {QStringLiteral("TISK do PDF"), print, QStringLiteral("cupsfilter"), cupsFilter}}};
}

// printf pads by bytes; the Czech action names need padding by characters.
QString padded(const QString& action) {
    return action.leftJustified(24);
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void printTable(const std::vector<SizeResult>& results, double peakMb) {
    for (const auto& size : results) {
        std::printf("\n%d files\n%-24s %10s  %-12s %10s %7s\n", size.files, "action", "ms", "floor",
                    "floor ms", "ratio");
        for (const auto& row : size.rows)
            std::printf("%s %10.1f  %-12s %10.1f %7.2f\n", qPrintable(padded(row.action)), row.ms,
                        qPrintable(row.floor), row.floorMs, row.ms / row.floorMs);
    }
    if (results.size() >= 2) {
        const auto& small = results[results.size() - 2];
        const auto& large = results.back();
        std::printf("\ngrowth %d -> %d files\n", small.files, large.files);
        for (size_t i = 0; i < large.rows.size(); ++i)
            std::printf("%s %7.2fx\n", qPrintable(padded(large.rows[i].action)),
                        large.rows[i].ms / small.rows[i].ms);
    }
    std::printf("\npeak memory %.1f MB\n", peakMb);
}

void printJson(const std::vector<SizeResult>& results, double peakMb) {
    QJsonArray sizes;
    for (const auto& size : results) {
        QJsonArray rows;
        for (const auto& row : size.rows)
            rows.append(QJsonObject{{"action", row.action},
                                    {"ms", row.ms},
                                    {"floor", row.floor},
                                    {"floor_ms", row.floorMs},
                                    {"ratio", row.ms / row.floorMs}});
        sizes.append(QJsonObject{{"files", size.files}, {"actions", rows}});
    }
    const QJsonObject all{{"sizes", sizes}, {"peak_memory_mb", peakMb}};
    std::fputs(QJsonDocument(all).toJson().constData(), stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const bool json = args.contains(QStringLiteral("--json"));
    const QString root =
        qEnvironmentVariable("TEMLO_BENCH_DIR", QStringLiteral("/tmp/temlo_bench"));
    std::vector<int> sizes{1000, 10000, 100000};
    if (args.contains(QStringLiteral("--quick")))
        sizes = {1000, 10000};
    for (const QString& arg : args)
        if (arg.startsWith(QStringLiteral("--sizes="))) {
            sizes.clear();
            for (const QString& size : arg.mid(8).split(u','))
                sizes.push_back(size.toInt());
        }

    std::vector<SizeResult> results;
    for (int files : sizes) {
        if (!json)
            std::fprintf(stderr, "measuring %d files...\n", files);
        results.push_back(measureSize(root, files, files >= 100000 ? 3 : 5));
    }
    const double peakMb = peakMegabytes();
    if (json)
        printJson(results, peakMb);
    else
        printTable(results, peakMb);
    return 0;
}
