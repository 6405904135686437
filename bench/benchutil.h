#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <vector>

#if defined(Q_OS_LINUX)
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

// Small helpers shared by the benchmark programs: every figure is a median of several runs,
// and every ratio compares two things measured in the same run on the same files.
namespace bench {

inline double millis(const std::function<void()>& work) {
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e6;
}

// Lets the files written so far reach the disk, so that the next command replaces files that
// are long on disk, as a player's are. Without it each command would also pay for writing back
// what the one before it wrote, and the order of the commands would weigh more than they do.
inline void settle() {
    QProcess sync;
    sync.start(QStringLiteral("sync"), {});
    if (!sync.waitForFinished(-1) || sync.exitCode() != 0)
        qFatal("sync failed");
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Runs a command and fails loudly: a benchmark of a failed command is worthless. `quiet` throws
// its standard output away.
inline void run(const QString& program, const QStringList& args, bool quiet = false) {
    QProcess p;
    p.setProcessChannelMode(quiet ? QProcess::ForwardedErrorChannel : QProcess::ForwardedChannels);
    if (quiet)
        p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qFatal("%s failed", qPrintable(program + " " + args.join(' ')));
}

// The least any copy that keeps the old file until the new one is whole must do: each source
// copied by the kernel into a new file beside its destination, renamed over it. Nothing is
// checked, locked or kept. Milliseconds, or -1 where this is not measured.
inline double renameOverMillis(const QStringList& sources, const QString& folder) {
#if defined(Q_OS_LINUX)
    return millis([&] {
        for (const QString& source : sources) {
            QByteArray temp = QFile::encodeName(folder) + "/.bench-XXXXXX";
            const int in = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
            const int out = ::mkostemp(temp.data(), O_CLOEXEC);
            if (in < 0 || out < 0)
                qFatal("cannot copy %s", qPrintable(source));
            while (::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0) > 0) {
            }
            ::close(in);
            const QByteArray to = QFile::encodeName(folder + "/" + QFileInfo(source).fileName());
            if (::close(out) != 0 || ::rename(temp.constData(), to.constData()) != 0)
                qFatal("cannot replace %s", to.constData());
        }
    });
#else
    Q_UNUSED(sources)
    Q_UNUSED(folder)
    return -1;
#endif
}

inline QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}

// The file system that holds `path`, as /proc/self/mountinfo tells it: its type, where it is
// mounted and with which options ("ext4 on / (rw,relatime,discard)").
inline QString fileSystemOf(const QString& path) {
#if defined(Q_OS_LINUX)
    QFile info(QStringLiteral("/proc/self/mountinfo"));
    const QString canonical = QFileInfo(path).canonicalFilePath();
    QString best, described = QStringLiteral("an unknown file system");
    if (info.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QByteArray& line : info.readAll().split('\n')) {
            // id parent major:minor root mount-point options [optional...] - type source super
            const QList<QByteArray> f = line.split(' ');
            const qsizetype dash = f.indexOf("-");
            if (f.size() < 6 || dash < 0 || dash + 3 >= f.size())
                continue;
            const QString point = QString::fromUtf8(f[4]);
            const bool under =
                canonical == point || point == u'/' || canonical.startsWith(point + u'/');
            if (under && point.size() >= best.size()) {
                best = point;
                described = QStringLiteral("%1 on %2 (%3,%4)")
                                .arg(QString::fromUtf8(f[dash + 1]), point, QString::fromUtf8(f[5]),
                                     QString::fromUtf8(f[dash + 3]));
            }
        }
    }
    return described;
#else
    Q_UNUSED(path)
    return QStringLiteral("the current folder's file system");
#endif
}

// Where a copy benchmark makes its installation: a journaled ext4 made by plain `mkfs.ext4`
// (default options, as a desktop's disk is) in an image file that is loop-mounted for the run
// and removed after it. Where that cannot be done (no root, no mkfs.ext4, no loop device), the
// current folder, and description() says which file system that is and why.
class Scratch {
public:
    explicit Scratch(qint64 imageBytes = qint64(2) << 30) {
#if defined(Q_OS_LINUX)
        const QString mkfs = QStandardPaths::findExecutable(
            QStringLiteral("mkfs.ext4"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
        QString why;
        if (::geteuid() != 0)
            why = QStringLiteral("mounting an image needs root");
        else if (mkfs.isEmpty())
            why = QStringLiteral("mkfs.ext4 is missing (Debian package e2fsprogs)");
        else if (!dir_.isValid())
            why = QStringLiteral("no scratch folder");
        if (why.isEmpty()) {
            image_ = dir_.filePath(QStringLiteral("ext4.img"));
            mount_ = dir_.filePath(QStringLiteral("mnt"));
            QFile file(image_);
            if (!file.open(QIODevice::WriteOnly) || !file.resize(imageBytes) ||
                !QDir().mkpath(mount_))
                why = QStringLiteral("cannot make the image file");
            file.close();
        }
        if (why.isEmpty() && !quietly(mkfs, {"-q", "-F", image_}))
            why = QStringLiteral("mkfs.ext4 failed");
        if (why.isEmpty() && !quietly(QStringLiteral("mount"), {"-o", "loop", image_, mount_}))
            why = QStringLiteral("the image cannot be loop-mounted here");
        if (why.isEmpty()) {
            mounted_ = true;
            unmountOnFatal(mount_, image_);
            path_ = mount_;
            description_ = QStringLiteral("a journaled ext4 made by mkfs.ext4 with its defaults, "
                                          "loop-mounted: ") +
                           fileSystemOf(mount_);
            return;
        }
        path_ = QDir::currentPath();
        description_ = fileSystemOf(path_) + QStringLiteral(", the current folder: ") + why;
#else
        Q_UNUSED(imageBytes)
        path_ = QDir::currentPath();
        description_ = fileSystemOf(path_);
#endif
    }
    ~Scratch() {
#if defined(Q_OS_LINUX)
        if (mounted_)
            quietly(QStringLiteral("umount"), {mount_});
#endif
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    const QString& path() const {
        return path_;
    }
    const QString& description() const {
        return description_;
    }

private:
    // A benchmark that stops with qFatal() runs no destructor: the mount would stay behind,
    // holding an image that is already deleted.
    static void unmountOnFatal(const QString& mount, const QString& image) {
        static QString point, file;
        static QtMessageHandler previous = nullptr;
        point = mount;
        file = image;
        previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
                if (type == QtFatalMsg && !point.isEmpty()) {
                    quietly(QStringLiteral("umount"), {QStringLiteral("-l"), point});
                    QFile::remove(file);
                }
                if (previous)
                    previous(type, context, text);
            });
    }

    static bool quietly(const QString& program, const QStringList& args) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, args);
        return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    QTemporaryDir dir_{QDir::currentPath() + QStringLiteral("/bench-scratch-XXXXXX")};
    QString image_, mount_, path_, description_;
    bool mounted_ = false;
};

// `rsync -rt --whole-file` of the sources into a folder: another copy that writes a temporary
// and renames it (--ignore-times, so that no file is skipped for its size and time).
// Milliseconds, or -1 where rsync is not installed.
inline double rsyncMillis(const QStringList& sources, const QString& folder) {
    const QString rsync = QStandardPaths::findExecutable(QStringLiteral("rsync"));
    if (rsync.isEmpty())
        return -1;
    const QStringList args =
        QStringList{"-rt", "--whole-file", "--ignore-times"} + sources + QStringList{folder + u'/'};
    return millis([&] { run(rsync, args); });
}

} // namespace bench
