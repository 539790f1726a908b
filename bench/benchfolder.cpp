#include "benchfolder.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString quoted(const QString& path) {
    return u'\'' + QString(path).replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

void makeFile(int dirFd, const char* name, qint64 seconds) {
    const int fd = ::openat(dirFd, name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        qFatal("cannot create %s", name);
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ::futimens(fd, times);
    ::close(fd);
}

} // namespace

QString ensureBenchFolder(const QString& root, int count) {
    const QString folder = QStringLiteral("%1/files-%2").arg(root).arg(count);
    const QString complete = folder + QStringLiteral("/.complete");
    if (QFile::exists(complete))
        return folder;
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    QElapsedTimer timer;
    timer.start();
    const qint64 base = QDateTime(QDate(2024, 6, 1), QTime(8, 0)).toSecsSinceEpoch();
    // Made relative to an open folder with plain C formatting: a million files in seconds.
    const int dirFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (dirFd < 0)
        qFatal("cannot open %s", qPrintable(folder));
    char name[32];
    for (int i = 0; i < count; ++i) {
        // A stride coprime with the count gives every file its own second, out of name order.
        const qint64 slot = (qint64(i) * 7919) % count;
        std::snprintf(name, sizeof name, "IMG_%d.jpg", i);
        makeFile(dirFd, name, base + slot);
    }
    makeFile(dirFd, ".complete", base);
    ::close(dirFd);
    std::fprintf(stderr, "made %d files in %.1f s\n", count, double(timer.elapsed()) / 1000.0);
    return folder;
}

QString linkedCopy(const QString& folder, const QString& target) {
    QDir(target).removeRecursively();
    shellMilliseconds(QStringLiteral("cp -al %1 %2").arg(quoted(folder), quoted(target)));
    return target;
}

double shellMilliseconds(const QString& command) {
    QElapsedTimer timer;
    timer.start();
    const int rc = QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), command});
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (rc != 0)
        qFatal("command failed: %s", qPrintable(command));
    return ms;
}
