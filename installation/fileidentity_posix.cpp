// File identities on POSIX systems: one stat().
#include "installation/fileidentity.h"

#include <QFile>

#include <sys/stat.h>

namespace ovra::detail {

std::optional<FileIdentity> fileIdentity(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    constexpr qint64 kNano = 1000000000;
    return FileIdentity{qint64(st.st_size), qint64(st.st_mtim.tv_sec) * kNano + st.st_mtim.tv_nsec,
                        qint64(st.st_ctim.tv_sec) * kNano + st.st_ctim.tv_nsec, qint64(st.st_ino)};
}

} // namespace ovra::detail
