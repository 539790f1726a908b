#include "benchfuse.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <cstdio>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

constexpr long fuseMagic = 0x65735546;

bool onFuse(const QString& path) {
    struct statfs mounted {};
    return ::statfs(QFile::encodeName(path).constData(), &mounted) == 0 &&
           mounted.f_type == fuseMagic;
}

bool isMountPoint(const QString& path) {
    return QProcess::execute(QStringLiteral("mountpoint"), {QStringLiteral("-q"), path}) == 0;
}

} // namespace

std::unique_ptr<FuseFolder> FuseFolder::open(const QString& root) {
    const QString given = qEnvironmentVariable("TEMLO_BENCH_FUSE_DIR");
    if (!given.isEmpty()) {
        if (onFuse(given) && QDir().mkpath(given))
            return std::unique_ptr<FuseFolder>(new FuseFolder(given, given, {}));
        std::fprintf(stderr, "TEMLO_BENCH_FUSE_DIR=%s is no folder on a FUSE mount\n",
                     qPrintable(given));
        return nullptr;
    }
    if (::geteuid() != 0) {
        std::fprintf(stderr, "renaming on FUSE not measured: run as root (mounts bindfs) or set "
                             "TEMLO_BENCH_FUSE_DIR\n");
        return nullptr;
    }
    // A tmpfs of its own: a shared one (/dev/shm) may run out of inodes, which hard links
    // take there too. Mounts left by a run that died are used again.
    const QString source = root + QStringLiteral("/fuse-tmpfs");
    const QString mountPoint = root + QStringLiteral("/fuse");
    QDir().mkpath(source);
    QDir().mkpath(mountPoint);
    if (!isMountPoint(source) &&
        QProcess::execute(QStringLiteral("mount"),
                          {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                           QStringLiteral("size=1g,nr_inodes=4m"), QStringLiteral("tmpfs"),
                           source}) != 0)
        qFatal("cannot mount a tmpfs on %s", qPrintable(source));
    if (!onFuse(mountPoint) && QProcess::execute(QStringLiteral("bindfs"), {source, mountPoint}))
        qFatal("bindfs %s %s failed", qPrintable(source), qPrintable(mountPoint));
    return std::unique_ptr<FuseFolder>(new FuseFolder(mountPoint, source, {mountPoint, source}));
}

FuseFolder::~FuseFolder() {
    for (const QString& mounted : m_unmount)
        QProcess::execute(QStringLiteral("umount"), {mounted});
}
