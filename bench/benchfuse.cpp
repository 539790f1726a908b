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

} // namespace

std::unique_ptr<FuseFolder> FuseFolder::open(const QString& root) {
    const QString given = qEnvironmentVariable("TEMLO_BENCH_FUSE_DIR");
    if (!given.isEmpty()) {
        if (onFuse(given) && QDir().mkpath(given))
            return std::unique_ptr<FuseFolder>(new FuseFolder(given, given, false));
        std::fprintf(stderr, "TEMLO_BENCH_FUSE_DIR=%s is no folder on a FUSE mount\n",
                     qPrintable(given));
        return nullptr;
    }
    if (::geteuid() != 0) {
        std::fprintf(stderr, "renaming on FUSE not measured: run as root (mounts bindfs) or set "
                             "TEMLO_BENCH_FUSE_DIR\n");
        return nullptr;
    }
    const QString source = QStringLiteral("/dev/shm/temlo_bench_fuse");
    const QString mountPoint = root + QStringLiteral("/fuse");
    QDir().mkpath(source);
    QDir().mkpath(mountPoint);
    if (!onFuse(mountPoint) && QProcess::execute(QStringLiteral("bindfs"), {source, mountPoint}))
        qFatal("bindfs %s %s failed", qPrintable(source), qPrintable(mountPoint));
    return std::unique_ptr<FuseFolder>(new FuseFolder(mountPoint, source, true));
}

FuseFolder::~FuseFolder() {
    if (m_own)
        QProcess::execute(QStringLiteral("umount"), {m_mounted});
}
