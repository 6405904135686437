// The safe writer on POSIX systems: a locked temporary beside the destination, filled by the
// kernel where it can, given the replaced file's owner and mode, then renamed over it.
#include "installation/filecopy.h"

#include "installation/filetexts.h"
#include "installation/posixfile.h"
#include "installation/temporaries.h"

#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <memory>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ovra {

using namespace detail;

namespace {

// A write past the file-size limit must fail with EFBIG, not kill the program.
void ignoreFileSizeSignal() {
    static const bool ignored = (::signal(SIGXFSZ, SIG_IGN), true);
    Q_UNUSED(ignored);
}

// Writes all `size` bytes; 0 or an errno value. A short write is followed by another one for
// the rest, which reports what cut it short (a full disk, the file-size limit).
int writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t w = ::write(fd, data, size);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (w == 0)
            return EIO;
        data += w;
        size -= size_t(w);
    }
    return 0;
}

// Copies everything from `in` to `out`; 0 on success, else an errno value. `size` is what
// fstat said of `in`: once that much is copied, the call that would only report the end is
// left out (a file that says 0 may still hold bytes, as some system files do: read to the end).
int copyContents(int in, int out, qint64 size) {
    qint64 copied = 0;
#if defined(Q_OS_LINUX)
    // The kernel copies (and may share extents) without the bytes passing through us.
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (n > 0) {
            copied += n;
            if (copied == size)
                return 0;
            continue;
        }
        if (n == 0)
            return 0;
        if (errno == EINTR)
            continue;
        // Across file systems (a CD, an image, a USB stick) this kernel refuses: plain
        // reads and writes then.
        if (copied == 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL ||
                            errno == EOPNOTSUPP || errno == EPERM))
            break;
        return errno;
    }
#endif
    // A small file needs no more room than itself (a CD restore is mostly small files).
    static constexpr qint64 kChunk = 1 << 20;
    const size_t chunk = size_t(size > 0 ? std::min(size, kChunk) : kChunk);
    std::unique_ptr<char[]> buffer(new char[chunk]);
    for (;;) {
        const ssize_t n = ::read(in, buffer.get(), chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        if (const int err = writeAll(out, buffer.get(), size_t(n)))
            return err;
        copied += n;
        if (copied == size)
            return 0;
    }
}

QByteArray directoryOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// The platform's read-only mark, judged from the permission bits alone: an administrator may
// write anywhere, but a file marked read-only is refused all the same.
bool isReadOnly(const struct stat& st) {
    if (!(st.st_mode & S_IWUSR))
        return true;
    static const uid_t me = ::geteuid(); // never changed by these programs
    if (me == 0 || me == st.st_uid)
        return false;
    bool member = st.st_gid == ::getegid();
    if (!member) {
        const int count = ::getgroups(0, nullptr);
        std::unique_ptr<gid_t[]> groups(new gid_t[size_t(std::max(count, 1))]);
        const int got = ::getgroups(count, groups.get());
        member = std::find(groups.get(), groups.get() + std::max(got, 0), st.st_gid) !=
                 groups.get() + std::max(got, 0);
    }
    return !(st.st_mode & (member ? S_IWGRP : S_IWOTH));
}

// Where a replacement goes, found with one lstat (a followed link costs a second look).
struct Destination {
    QByteArray path;      // the name the temporary is renamed to
    QByteArray directory; // where the temporary is made
    bool replacesFile = false;
    struct stat old {}; // the regular file replaced, when replacesFile
};

CopyResult inspect(const QString& to, LinkPolicy links, Destination& dest) {
    if (to.isEmpty())
        return nowhereFailure();
    const QString shown = native(to);
    dest.path = QFile::encodeName(to);
    struct stat st {};
    if (::lstat(dest.path.constData(), &st) != 0) {
        // Nothing there: a new file. A missing folder shows when the temporary is made.
        if (errno != ENOENT && errno != ENOTDIR)
            return writeFailure(shown, errnoText(errno));
        dest.directory = directoryOf(dest.path);
        return {};
    }
    if (S_ISLNK(st.st_mode)) {
        if (links == LinkPolicy::ReplaceLink) {
            dest.directory = directoryOf(dest.path);
            return {};
        }
        char* resolved = ::realpath(dest.path.constData(), nullptr);
        if (!resolved) {
            const QString why = errnoText(errno);
            return failure(
                QStringLiteral("%1 is a link that cannot be followed: %2").arg(shown, why),
                QStringLiteral("it is a link that cannot be followed (%1)").arg(why));
        }
        dest.path = QByteArray(resolved);
        std::free(resolved);
        if (::stat(dest.path.constData(), &st) != 0)
            return writeFailure(shown, errnoText(errno));
    }
    if (S_ISDIR(st.st_mode))
        return isFolderFailure(shown);
    if (!S_ISREG(st.st_mode))
        return specialFileFailure(shown);
    if (isReadOnly(st))
        return readOnlyFailure(shown);
    dest.replacesFile = true;
    dest.old = st;
    dest.directory = directoryOf(dest.path);
    return {};
}

// A temporary file beside the destination. Its writer holds an advisory lock on it for as long
// as it exists: that is how a clean-up in another process tells it from a killed writer's.
class Temporary {
public:
    ~Temporary() { discard(); }

    // Makes and locks a new temporary in `directory`; 0 or an errno value.
    // `mode`: the permissions it is made with (less the umask), so that most copies need no
    // change of mode afterwards.
    int create(const QByteArray& directory, mode_t mode) {
        for (int attempt = 0; attempt < 16; ++attempt) {
            QByteArray path = directory + '/' + kTempPrefix + randomSuffix();
            Fd fd(
                ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
            if (fd.get() < 0 && errno == EEXIST)
                continue;
            if (fd.get() < 0)
                return errno;
            // Where the file system has no such locks, a clean-up cannot take one either and
            // leaves the file alone.
            while (::flock(fd.get(), LOCK_EX) != 0 && errno == EINTR) {
            }
            // A clean-up may have locked and removed it before the lock was ours.
            struct stat st {};
            if (::fstat(fd.get(), &st) != 0) {
                const int err = errno;
                ::unlink(path.constData());
                return err;
            }
            if (st.st_nlink == 0)
                continue; // gone: start over with a new name
            // A second descriptor keeps the lock from the checked close to the rename.
            Fd held(::fcntl(fd.get(), F_DUPFD_CLOEXEC, 0));
            if (held.get() < 0) {
                const int err = errno;
                ::unlink(path.constData());
                return err;
            }
            path_ = std::move(path);
            made_ = st;
            out_.reset(fd.release());
            held_.reset(held.release());
            return 0;
        }
        return EEXIST;
    }

    int fd() const { return out_.get(); }
    const struct stat& made() const { return made_; }

    // Closes the written descriptor: some file systems report delayed write errors only here.
    int finish() { return closeWritten(out_.release()) == 0 ? 0 : errno; }

    int renameTo(const QByteArray& path) {
        if (::rename(path_.constData(), path.constData()) != 0)
            return errno;
        path_.clear();
        held_.reset();
        return 0;
    }

    void discard() {
        if (!path_.isEmpty())
            ::unlink(path_.constData());
        path_.clear();
        out_.reset();
        held_.reset();
    }

private:
    // Six letters or digits, as isTemporaryName() expects.
    static QByteArray randomSuffix() {
        static constexpr char kLetters[] =
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        quint64 bits = QRandomGenerator::global()->generate64();
        QByteArray suffix(6, Qt::Uninitialized);
        for (char& c : suffix) {
            c = kLetters[bits % (sizeof(kLetters) - 1)];
            bits /= sizeof(kLetters) - 1;
        }
        return suffix;
    }

    QByteArray path_;
    struct stat made_ {}; // as it was created: its owner, group and mode
    Fd out_;
    Fd held_;
};

// The temporary takes the replaced file's owner, group and mode, as far as this process may
// give them; a new file keeps the ordinary mode it was made with. 0 or an errno value.
int adopt(const Temporary& temp, const Destination& dest) {
    if (!dest.replacesFile)
        return 0;
    const int fd = temp.fd();
    mode_t mode = dest.old.st_mode & 0777; // set-id and sticky bits are dropped
    const bool sameOwner =
        dest.old.st_uid == temp.made().st_uid && dest.old.st_gid == temp.made().st_gid;
    if (!sameOwner && ::fchown(fd, dest.old.st_uid, dest.old.st_gid) != 0 &&
        ::fchown(fd, uid_t(-1), dest.old.st_gid) != 0) {
        // Another group than before gets no more than everyone else had.
        mode &= ~mode_t(070) | ((mode & 07) << 3);
    }
    if ((temp.made().st_mode & 07777) == mode)
        return 0;
    if (::fchmod(fd, mode) == 0)
        return 0;
    // File systems without Unix modes refuse; the temporary's own mode is no wider.
    return errno == EPERM || errno == EOPNOTSUPP ? 0 : errno;
}

using Fill = std::function<CopyResult(int out)>;

// Makes the temporary for `dest` and writes it out; the rename is left to the caller.
CopyResult prepare(const QString& to, const Destination& dest, Temporary& temp, const Fill& fill) {
    ignoreFileSizeSignal();
    const QString shown = native(to);
    // Never more open to others than the file it replaces, nor writable by them before its
    // owner and group are the old file's.
    const mode_t initial = dest.replacesFile ? dest.old.st_mode & 0755 : 0666;
    if (const int err = temp.create(dest.directory, initial)) {
        const QString folder = native(QFile::decodeName(dest.directory));
        if (err == ENOENT || err == ENOTDIR)
            return failure(QStringLiteral("The folder %1 does not exist.").arg(folder),
                           QStringLiteral("the folder %1 does not exist").arg(folder));
        return failure(QStringLiteral("Cannot write into %1: %2").arg(folder, errnoText(err)),
                       errnoText(err));
    }
    if (const int err = adopt(temp, dest))
        return writeFailure(shown, errnoText(err));
    if (CopyResult filled = fill(temp.fd()); !filled)
        return filled;
    if (const int err = temp.finish())
        return writeFailure(shown, errnoText(err));
    return {};
}

CopyResult replace(const QString& to, LinkPolicy links, const Fill& fill) {
    Destination dest;
    if (CopyResult looked = inspect(to, links, dest); !looked)
        return looked;
    Temporary temp;
    if (CopyResult made = prepare(to, dest, temp, fill); !made)
        return made;
    if (const int err = temp.renameTo(dest.path))
        return writeFailure(native(to), errnoText(err));
    return {};
}

Fill bytesFill(const QString& to, const QByteArray& bytes) {
    return [&to, &bytes](int out) {
        const int err = writeAll(out, bytes.constData(), size_t(bytes.size()));
        return err == 0 ? CopyResult{} : writeFailure(native(to), errnoText(err));
    };
}

} // namespace

CopyResult replaceFile(const QString& from, const QString& to) {
    if (from.isEmpty())
        return failure(QStringLiteral("No file was chosen to copy from."),
                       QStringLiteral("no file was chosen"));
    const QString shownFrom = native(from);
    const auto copyFailure = [&](const QString& why) {
        return failure(
            QStringLiteral("Could not copy %1 to %2: %3").arg(shownFrom, native(to), why), why);
    };
    // Opened once and without waiting (a FIFO must not block); only a regular file is copied.
    Fd in(
        ::open(QFile::encodeName(from).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (in.get() < 0) {
        const int err = errno;
        if (err == ENOENT)
            return failure(QStringLiteral("%1 does not exist.").arg(shownFrom),
                           QStringLiteral("%1 does not exist").arg(shownFrom));
        return failure(QStringLiteral("%1 cannot be read: %2").arg(shownFrom, errnoText(err)),
                       errnoText(err));
    }
    struct stat st {};
    if (::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return failure(QStringLiteral("%1 is not a file.").arg(shownFrom),
                       QStringLiteral("%1 is not a file").arg(shownFrom));
    return replace(to, LinkPolicy::ReplaceLink, [&](int out) {
        const int err = copyContents(in.get(), out, st.st_size);
        return err == 0 ? CopyResult{} : copyFailure(errnoText(err));
    });
}

CopyResult replaceFileWith(const QString& to, const ContentProducer& produce, LinkPolicy links) {
    return replace(to, links, [&](int out) {
        int err = 0; // the first failed write's; later chunks are refused
        const WriteChunk write = [&](const char* data, qint64 size) {
            if (err == 0)
                err = size < 0 ? EINVAL : writeAll(out, data, size_t(size));
            return err == 0;
        };
        const QString problem = produce(write);
        if (err != 0)
            return writeFailure(native(to), errnoText(err));
        return problem.isEmpty() ? CopyResult{} : writeFailure(native(to), problem);
    });
}

CopyResult writeFileAtomically(const QString& path, const QByteArray& bytes) {
    return replace(path, LinkPolicy::WriteTarget, bytesFill(path, bytes));
}

struct StagedFile::Impl {
    QString path;
    Destination dest;
    Temporary temp;
};

CopyResult StagedFile::stage(const QString& path, const QByteArray& bytes) {
    d_ = std::make_unique<Impl>();
    d_->path = path;
    if (CopyResult looked = inspect(path, LinkPolicy::WriteTarget, d_->dest); !looked) {
        d_.reset();
        return looked;
    }
    CopyResult made = prepare(path, d_->dest, d_->temp, bytesFill(path, bytes));
    if (!made)
        d_.reset();
    return made;
}

CopyResult StagedFile::commit() {
    if (!d_)
        return failure(QStringLiteral("Nothing was written."),
                       QStringLiteral("nothing was written"));
    const std::unique_ptr<Impl> staged = std::move(d_);
    if (const int err = staged->temp.renameTo(staged->dest.path))
        return writeFailure(native(staged->path), errnoText(err));
    return {};
}

StagedFile::StagedFile() = default;
StagedFile::~StagedFile() = default;

} // namespace ovra
