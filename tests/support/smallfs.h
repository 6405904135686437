#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#include <unistd.h>
#endif

// A small tmpfs of the test's own, mounted for one test and removed after it: a disk that can be
// filled, or made read-only like a folder where programs are installed. `skip` says why not,
// where mounting is not permitted.
struct SmallFileSystem {
    QTemporaryDir dir;
    QString skip;
    explicit SmallFileSystem(const QByteArray& size = "256k") {
#ifndef Q_OS_LINUX
        Q_UNUSED(size);
        skip = "a file system of the test's own is mounted on Linux only";
#else
        if (geteuid() != 0)
            skip = "mounting a tmpfs needs root";
        else if (mount("tmpfs", QFile::encodeName(dir.path()), "tmpfs", 0,
                       ("size=" + size).constData()) != 0)
            skip = QString("mounting a tmpfs is not permitted here: ") + strerror(errno);
#endif
    }
    ~SmallFileSystem() {
#ifdef Q_OS_LINUX
        if (skip.isEmpty())
            umount2(QFile::encodeName(dir.path()), MNT_DETACH);
#endif
    }
    // Takes every free block, so that the next write finds the disk full.
    bool fill() const {
        QFile filler(dir.filePath("filler"));
        const QByteArray block(4096, 'f');
        while (filler.isOpen() || filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            if (filler.write(block) != block.size())
                return errno == ENOSPC;
        return false;
    }
    // From now on nobody may write to it, root included.
    bool makeReadOnly() const {
#ifdef Q_OS_LINUX
        return mount(nullptr, QFile::encodeName(dir.path()), nullptr, MS_REMOUNT | MS_RDONLY,
                     nullptr) == 0;
#else
        return false;
#endif
    }
};
