#pragma once

#include <QByteArray>
#include <QString>
#include <utility>

#include <dirent.h>
#include <unistd.h>

// What the POSIX halves of the installation layer share: descriptors and directory streams that
// close themselves, and the system's words for an errno value.
namespace ovra::detail {

QString errnoText(int err);

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

// The entries of one directory in the order the file system gives them, "." and ".." left out.
class DirStream {
public:
    explicit DirStream(const QString& host);
    ~DirStream();
    DirStream(const DirStream&) = delete;
    DirStream& operator=(const DirStream&) = delete;

    bool isOpen() const { return dir_ != nullptr; }
    // The next entry, or null at the end or on an error (then error() is its errno).
    const dirent* next();
    int error() const { return error_; }
    // For *at() calls relative to the directory.
    int fd() const { return ::dirfd(dir_); }

private:
    DIR* dir_;
    int error_ = 0;
};

// Closes a descriptor the writer has written, whose close may report a delayed write error
// (NFS, FUSE, quotas). Tests replace it to make such a close fail.
extern int (*closeWritten)(int fd);

} // namespace ovra::detail
