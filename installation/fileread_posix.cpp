// Guarded whole reads on POSIX systems: looked at before they are opened, and again after.
#include "installation/fileread.h"

#include "installation/filetexts.h"
#include "installation/posixfile.h"

#include <QFile>
#include <memory>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ovra {

using namespace detail;

namespace {

// Opens a regular file (links followed) for reading, looked at before it is opened: opening a
// FIFO waits for a writer, opening a device may set it going. An empty text, or why not.
QString openRegular(const QString& path, Fd& fd, struct stat& st) {
    const QString shown = native(path);
    const QByteArray name = QFile::encodeName(path);
    const auto cannot = [&](const char* what, int err) {
        return QStringLiteral("cannot %1 %2: %3").arg(QLatin1String(what), shown, errnoText(err));
    };
    const QString notRegular = QStringLiteral("%1 is not a regular file").arg(shown);
    if (::stat(name.constData(), &st) != 0)
        return cannot("open", errno);
    if (!S_ISREG(st.st_mode))
        return notRegular;
    fd.reset(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0)
        return cannot("open", errno);
    // The name may have been given to something else in between.
    if (::fstat(fd.get(), &st) != 0)
        return cannot("read", errno);
    if (!S_ISREG(st.st_mode))
        return notRegular;
    return {};
}

} // namespace

Result<QByteArray> readRegularFile(const QString& path, qint64 maxSize) {
    const QString shown = native(path);
    Fd fd;
    struct stat st {};
    if (const QString why = openRegular(path, fd, st); !why.isEmpty())
        return readFailure(why);
    if (st.st_size > maxSize)
        return readFailure(tooLarge(shown, st.st_size, maxSize));

    // One byte more than the size tells a file that grew since.
    QByteArray bytes(qsizetype(st.st_size) + 1, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        if (total == bytes.size()) {
            if (total > maxSize)
                return readFailure(
                    QStringLiteral("%1 is too large (over %2)").arg(shown, sizeText(maxSize)));
            bytes.resize(qsizetype(std::min(maxSize, total * 2) + 1));
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + total, size_t(bytes.size() - total));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return readFailure(QStringLiteral("cannot read %1: %2").arg(shown, errnoText(errno)));
        }
        if (n == 0)
            break;
        total += n;
    }
    bytes.truncate(qsizetype(total));
    return bytes;
}

Result<> streamRegularFile(const QString& path, const WriteChunk& write) {
    const QString shown = native(path);
    const QString writeFailed = QStringLiteral("Reading %1: write failed.").arg(shown);
    // One buffer for every call: hashing a folder calls this once per file.
    static constexpr qint64 kChunk = 256 * 1024;
    thread_local const std::unique_ptr<char[]> buffer(new char[kChunk]);
    Fd fd;
    struct stat st {};
    if (const QString why = openRegular(path, fd, st); !why.isEmpty())
        return failed(why);
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer.get(), size_t(kChunk));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failed(QStringLiteral("cannot read %1: %2").arg(shown, errnoText(errno)));
        }
        if (n == 0)
            return {};
        if (!write(buffer.get(), n))
            return failed(writeFailed);
    }
}

std::optional<qint64> regularFileSize(const QString& path, bool followLinks) {
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    const int looked = followLinks ? ::stat(name.constData(), &st) : ::lstat(name.constData(), &st);
    if (looked != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return qint64(st.st_size);
}

} // namespace ovra
