// Directory entries on POSIX systems, read with readdir: Qt's listing drops names that are not
// UTF-8 without a word, which would shift the positions after them silently.
#include "installation/direntries.h"

#include "installation/posixfile.h"

#include <QFile>

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace ovra::detail {

struct DirEntry::Data {
    const QString& host;
    int dir;
    const dirent* entry;
    QString name;
    bool decodes;
};

const QString& DirEntry::name() const {
    return d_.name;
}

bool DirEntry::decodes() const {
    return d_.decodes;
}

bool DirEntry::hidden() const {
    return d_.entry->d_name[0] == '.';
}

bool DirEntry::mayBeLink() const {
#ifdef DT_UNKNOWN
    return d_.entry->d_type == DT_LNK || d_.entry->d_type == DT_UNKNOWN;
#else
    return true;
#endif
}

bool DirEntry::isRegular() const {
#ifdef DT_UNKNOWN
    // The directory entry's type answers without a stat where the file system fills it in.
    if (d_.entry->d_type == DT_REG)
        return true;
    if (!mayBeLink())
        return false;
#endif
    struct stat st;
    return ::fstatat(d_.dir, d_.entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

QString DirEntry::target() const {
    const QByteArray path = QFile::encodeName(d_.host) + '/' + d_.entry->d_name;
    char* resolved = ::realpath(path.constData(), nullptr);
    if (!resolved)
        return {};
    const QString target = QFile::decodeName(resolved);
    std::free(resolved);
    return target;
}

bool forEachEntry(const QString& host, const std::function<void(const DirEntry&)>& each) {
    DirStream dir(host);
    if (!dir.isOpen())
        return false;
    while (const dirent* entry = dir.next()) {
        const QByteArray bytes =
            QByteArray::fromRawData(entry->d_name, qsizetype(std::strlen(entry->d_name)));
        QString name = QString::fromUtf8(bytes);
        const bool decodes = name.toUtf8() == bytes;
        if (!decodes)
            name = QString::fromLatin1(bytes);
        each(DirEntry(DirEntry::Data{host, dir.fd(), entry, std::move(name), decodes}));
    }
    return dir.error() == 0;
}

} // namespace ovra::detail
