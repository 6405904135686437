#include "installation/posixfile.h"

#include <QFile>

#include <cerrno>
#include <cstring>

namespace ovra::detail {

QString errnoText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

DirStream::DirStream(const QString& host) : dir_(::opendir(QFile::encodeName(host).constData())) {
    if (!dir_)
        error_ = errno;
}

DirStream::~DirStream() {
    if (dir_)
        ::closedir(dir_);
}

const dirent* DirStream::next() {
    if (!dir_)
        return nullptr;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir_);
        if (!entry) {
            error_ = errno;
            return nullptr;
        }
        const char* n = entry->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0')))
            continue;
        return entry;
    }
}

int (*closeWritten)(int fd) = ::close;

} // namespace ovra::detail
