#include "filecopy.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <memory>
#include <utility>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ovra {

namespace {

CopyResult failure(const QString& why) { return {false, why}; }

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

// Checks that need no file handle; the same on every platform.
CopyResult precheck(const QString& from, const QString& to) {
    if (from.isEmpty())
        return failure(QStringLiteral("No file was chosen to copy from."));
    const QFileInfo src(from);
    if (!src.exists())
        return failure(QStringLiteral("%1 does not exist.").arg(native(from)));
    if (!src.isFile())
        return failure(QStringLiteral("%1 is not a file.").arg(native(from)));
    const QFileInfo dst(to);
    if (dst.isDir())
        return failure(QStringLiteral("%1 is a folder.").arg(native(to)));
    if (!QFileInfo(dst.absolutePath()).isDir())
        return failure(QStringLiteral("The folder %1 does not exist.").arg(native(dst.absolutePath())));
    // Judged by the permission bits too: an administrator may write anywhere, but a file
    // marked read-only is refused as the platform refuses it.
    if (dst.exists() && (!dst.isWritable() || !(dst.permissions() & QFileDevice::WriteOwner)))
        return failure(QStringLiteral("%1 is read-only.").arg(native(to)));
    return {};
}

#if defined(Q_OS_UNIX)

QString errnoText(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// Copies everything from `in` to `out`; 0 on success, else an errno value.
int copyContents(int in, int out) {
#if defined(Q_OS_LINUX)
    // The kernel copies (and may share extents) without the bytes passing through us.
    bool first = true;
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (n > 0) {
            first = false;
            continue;
        }
        if (n == 0)
            return 0;
        if (errno == EINTR)
            continue;
        if (first && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
                      errno == EPERM))
            break; // not supported here: fall back to plain reads and writes
        return errno;
    }
#endif
    static constexpr size_t kChunk = 1 << 20;
    std::unique_ptr<char[]> buffer(new char[kChunk]);
    for (;;) {
        ssize_t n = ::read(in, buffer.get(), kChunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buffer.get() + done, size_t(n - done));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            done += w;
        }
    }
}

CopyResult platformCopy(const QString& from, const QString& to) {
    // A write past the file-size limit must fail with EFBIG, not kill the program.
    static const bool ignoreFsizeSignal = (::signal(SIGXFSZ, SIG_IGN), true);
    Q_UNUSED(ignoreFsizeSignal);

    const QByteArray src = QFile::encodeName(from);
    const QByteArray dst = QFile::encodeName(to);
    Fd in(::open(src.constData(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        return failure(QStringLiteral("%1 cannot be read: %2").arg(native(from), errnoText(errno)));
    struct stat srcStat {};
    if (::fstat(in.get(), &srcStat) != 0 || !S_ISREG(srcStat.st_mode))
        return failure(QStringLiteral("%1 is not a file.").arg(native(from)));

    // The copy keeps the destination's permissions, or takes the source's for a new file.
    mode_t mode;
    struct stat dstStat {};
    if (::stat(dst.constData(), &dstStat) == 0) {
        mode = dstStat.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = srcStat.st_mode & 0777 & ~mask;
    }

    const QString dir = QFileInfo(to).absolutePath();
    QByteArray templ = QFile::encodeName(dir + u'/' + QLatin1String(kTempPrefix)) + "XXXXXX";
    Fd out(::mkostemp(templ.data(), O_CLOEXEC));
    if (out.get() < 0)
        return failure(QStringLiteral("Cannot write into %1: %2").arg(native(dir), errnoText(errno)));

    int err = copyContents(in.get(), out.get());
    if (err == 0 && ::fchmod(out.get(), mode) != 0)
        err = errno;
    if (::close(out.release()) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(templ.constData(), dst.constData()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(templ.constData());
        return failure(QStringLiteral("Could not copy %1 to %2: %3")
                           .arg(native(from), native(to), errnoText(err)));
    }
    return {};
}

#else

CopyResult platformCopy(const QString& from, const QString& to) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("%1 cannot be read: %2").arg(native(from), in.errorString()));
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        return failure(QStringLiteral("Cannot write %1: %2").arg(native(to), out.errorString()));
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        if (out.write(chunk) != chunk.size())
            break;
    }
    if (in.error() != QFileDevice::NoError) {
        out.cancelWriting();
        out.commit();
        return failure(QStringLiteral("%1 cannot be read: %2").arg(native(from), in.errorString()));
    }
    if (!out.commit())
        return failure(QStringLiteral("Could not copy %1 to %2: %3")
                           .arg(native(from), native(to), out.errorString()));
    return {};
}

#endif

} // namespace

CopyResult replaceFile(const QString& from, const QString& to) {
    if (CopyResult check = precheck(from, to); !check)
        return check;
    return platformCopy(from, to);
}

int removeStaleTemporaries(const QString& directory) {
    QDir dir(directory);
    int removed = 0;
    const QStringList stale =
        dir.entryList({QLatin1String(kTempPrefix) + u'*'}, QDir::Files | QDir::Hidden);
    for (const QString& name : stale)
        if (dir.remove(name))
            ++removed;
    return removed;
}

} // namespace ovra
