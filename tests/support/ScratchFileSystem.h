#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <string>

#if defined(__linux__)
#include <sys/mount.h>
#endif

namespace fw::test {

// A small tmpfs of our own under a temporary folder: the only way to give a process running as
// root (as CI does) a full or read-only file system, since root ignores folder permissions.
class ScratchFileSystem {
public:
    // Mounts SIZE (a tmpfs size such as "64k"); on failure Mounted() is false and Error() says why.
    explicit ScratchFileSystem(const char* size)
    {
        if (!dir.isValid() || !QDir(dir.path()).mkdir(QStringLiteral("fs"))) {
            error = "cannot make a temporary folder";
            return;
        }
        mountPoint = dir.filePath(QStringLiteral("fs"));
#if defined(__linux__)
        const std::string options = std::string("size=") + size;
        if (mount("fw-test", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, options.c_str()) == 0)
            mounted = true;
        else
            error = std::strerror(errno);
#else
        (void)size;
        error = "mounting is not supported on this system";
#endif
    }
    ~ScratchFileSystem()
    {
#if defined(__linux__)
        if (mounted)
            umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH);
#endif
    }
    ScratchFileSystem(const ScratchFileSystem&) = delete;
    ScratchFileSystem& operator=(const ScratchFileSystem&) = delete;

    bool Mounted() const { return mounted; }
    const std::string& Error() const { return error; }
    QString Path(const QString& name) const { return mountPoint + u'/' + name; }
    const QString& Root() const { return mountPoint; }

    // Takes up every free block with a file named "filler", so that any later write runs out of space.
    bool Fill() const
    {
        QFile filler(Path(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly))
            return false;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) { }
        filler.close();
        return QFileInfo(filler.fileName()).size() > 0;
    }

    // Every later write fails with "Read-only file system"; files already there stay readable.
    bool RemountReadOnly()
    {
#if defined(__linux__)
        if (mounted
            && mount(nullptr, QFile::encodeName(mountPoint).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0)
            return true;
        error = std::strerror(errno);
#endif
        return false;
    }

private:
    QTemporaryDir dir;
    QString mountPoint;
    bool mounted = false;
    std::string error;
};

} // namespace fw::test
