#include "benchactions.h"
#include "benchfolder.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <cstdio>
#include <cstring>

namespace {

struct Options {
    bool json = false;
    bool accessibility = false;
    std::vector<int> sizes{1000, 10000, 100000};
    int runs = 0; // 0: by size
    QStringList actions;
    QString root = qEnvironmentVariable("TEMLO_BENCH_DIR", QStringLiteral("/tmp/temlo_bench"));
};

Options parse(const QStringList& args) {
    Options options;
    options.json = args.contains(QStringLiteral("--json"));
    options.accessibility = args.contains(QStringLiteral("--accessibility"));
    if (args.contains(QStringLiteral("--quick")))
        options.sizes = {1000, 10000};
    for (const QString& arg : args) {
        const QString value = arg.section(u'=', 1);
        if (arg.startsWith(QStringLiteral("--sizes="))) {
            options.sizes.clear();
            for (const QString& size : value.split(u','))
                options.sizes.push_back(size.toInt());
        } else if (arg.startsWith(QStringLiteral("--runs="))) {
            options.runs = value.toInt();
        } else if (arg.startsWith(QStringLiteral("--actions="))) {
            options.actions = value.split(u',');
        }
    }
    return options;
}

int runsFor(const Options& options, int files) {
    if (options.runs > 0)
        return options.runs;
    return files >= 1000000 ? 1 : files >= 100000 ? 3 : 5;
}

// Each size is measured in a process of its own, so its peak memory is its own.
QJsonObject measureInChild(const Options& options, int files, bool accessible) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (accessible)
        env.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    else
        env.remove(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"));
    child.setProcessEnvironment(env);
    QStringList args{QStringLiteral("--child"), QStringLiteral("--sizes=%1").arg(files),
                     QStringLiteral("--runs=%1").arg(runsFor(options, files))};
    if (!options.actions.isEmpty())
        args << QStringLiteral("--actions=") + options.actions.join(u',');
    child.start(QCoreApplication::applicationFilePath(), args);
    child.waitForFinished(-1);
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        qFatal("measuring %d files failed", files);
    const QJsonObject result = QJsonDocument::fromJson(child.readAllStandardOutput()).object();
    if (accessible && !result.value(QLatin1String("accessibility")).toBool())
        qFatal("the accessibility bridge did not come up: run under dbus-run-session with "
               "at-spi2-core installed");
    return result;
}

// The bridge attaches only to an accessibility bus that is already running; a desktop starts
// it at log-in, a bare session bus only on request.
void startAccessibilityBus() {
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (!bus || !bus->startService(QStringLiteral("org.a11y.Bus")).isValid())
        qFatal("no accessibility bus: run under dbus-run-session with at-spi2-core installed");
}

// printf pads by bytes; the Czech action names need padding by characters.
QString padded(const QString& action) {
    return action.leftJustified(24);
}

QString title(const QJsonObject& size) {
    return QStringLiteral("%1 files, %2%3, peak memory %4 MB")
        .arg(size[QLatin1String("files")].toInt())
        .arg(size[QLatin1String("platform")].toString(),
             size[QLatin1String("accessibility")].toBool() ? QStringLiteral(", accessibility on")
                                                           : QString())
        .arg(size[QLatin1String("peak_memory_mb")].toDouble(), 0, 'f', 1);
}

void printSize(const QJsonObject& size) {
    std::printf("\n%s\n%-24s %10s  %-12s %10s %7s\n", qPrintable(title(size)), "action", "ms",
                "floor", "floor ms", "ratio");
    for (const QJsonValue& value : size[QLatin1String("actions")].toArray()) {
        const QJsonObject row = value.toObject();
        std::printf(
            "%s %10.1f  %-12s %10.1f %7.2f\n",
            qPrintable(padded(row[QLatin1String("action")].toString())),
            row[QLatin1String("ms")].toDouble(), qPrintable(row[QLatin1String("floor")].toString()),
            row[QLatin1String("floor_ms")].toDouble(), row[QLatin1String("ratio")].toDouble());
    }
}

void printGrowth(const QJsonObject& small, const QJsonObject& large) {
    std::printf("\ngrowth %d -> %d files%s\n", small[QLatin1String("files")].toInt(),
                large[QLatin1String("files")].toInt(),
                large[QLatin1String("accessibility")].toBool() ? ", accessibility on" : "");
    const QJsonArray smallRows = small[QLatin1String("actions")].toArray();
    const QJsonArray largeRows = large[QLatin1String("actions")].toArray();
    for (qsizetype i = 0; i < largeRows.size() && i < smallRows.size(); ++i)
        std::printf("%s %7.2fx\n",
                    qPrintable(padded(largeRows[i][QLatin1String("action")].toString())),
                    largeRows[i][QLatin1String("ms")].toDouble() /
                        smallRows[i][QLatin1String("ms")].toDouble());
}

void printTable(const QJsonArray& plain, const QJsonArray& accessible) {
    for (const QJsonArray& results : {plain, accessible}) {
        for (const QJsonValue& size : results)
            printSize(size.toObject());
        if (results.size() >= 2)
            printGrowth(results[results.size() - 2].toObject(), results.last().toObject());
    }
}

int runChild(const Options& options) {
    const QJsonObject result =
        measureSize(options.root, options.sizes.front(), runsFor(options, options.sizes.front()),
                    options.actions);
    std::fputs(QJsonDocument(result).toJson().constData(), stdout);
    return 0;
}

bool isChild(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--child") == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (isChild(argc, argv)) {
        QApplication app(argc, argv);
        return runChild(parse(QApplication::arguments()));
    }
    QCoreApplication app(argc, argv);
    const Options options = parse(QCoreApplication::arguments());
    if (options.accessibility)
        startAccessibilityBus();
    QJsonArray plain;
    QJsonArray accessible;
    for (int files : options.sizes) {
        if (!options.json)
            std::fprintf(stderr, "measuring %d files...\n", files);
        ensureBenchFolder(options.root, files);
        plain.append(measureInChild(options, files, false));
        if (options.accessibility)
            accessible.append(measureInChild(options, files, true));
    }
    if (options.json)
        std::fputs(QJsonDocument(QJsonObject{{"sizes", plain}, {"accessibility_on", accessible}})
                       .toJson()
                       .constData(),
                   stdout);
    else
        printTable(plain, accessible);
    return 0;
}
