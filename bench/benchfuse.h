#pragma once

#include <QString>
#include <QStringList>
#include <memory>

// A folder on a FUSE mount for the renaming row: the one $TEMLO_BENCH_FUSE_DIR names, or, run
// as root, a bindfs mount (`root`/fuse) of a tmpfs mounted for it (`root`/fuse-tmpfs), both
// unmounted afterwards.
class FuseFolder {
public:
    // None, with a note why on stderr, when there is neither.
    static std::unique_ptr<FuseFolder> open(const QString& root);
    ~FuseFolder();
    FuseFolder(const FuseFolder&) = delete;
    FuseFolder& operator=(const FuseFolder&) = delete;

    // `name` seen through the mount.
    QString mounted(const QString& name) const { return m_mounted + u'/' + name; }
    // Where to make `name` quickly: in the folder under the mount where it is known (files
    // made there show through the mount at once), else through the mount.
    QString direct(const QString& name = {}) const {
        return name.isEmpty() ? m_direct : m_direct + u'/' + name;
    }

private:
    FuseFolder(QString mounted, QString direct, QStringList unmount)
        : m_mounted(std::move(mounted)), m_direct(std::move(direct)),
          m_unmount(std::move(unmount)) {}

    QString m_mounted;
    QString m_direct;
    QStringList m_unmount; // in this order, at the end
};
