// Directory entries where POSIX calls are not at hand: Qt's listing, hidden and system files
// included, so that callers decide what to leave out.
#include "installation/direntries.h"

#include <QDirIterator>
#include <QFileInfo>

namespace ovra::detail {

struct DirEntry::Data {
    QFileInfo info;
    QString name;
};

const QString& DirEntry::name() const {
    return d_.name;
}

bool DirEntry::decodes() const {
    return true;
}

bool DirEntry::hidden() const {
    return d_.info.isHidden();
}

bool DirEntry::mayBeLink() const {
    return d_.info.isSymLink() || d_.info.isJunction();
}

bool DirEntry::isRegular() const {
    return d_.info.isFile();
}

QString DirEntry::target() const {
    return d_.info.canonicalFilePath();
}

bool forEachEntry(const QString& host, const std::function<void(const DirEntry&)>& each) {
    const QFileInfo folder(host);
    if (host.isEmpty() || !folder.isDir() || !folder.isReadable())
        return false;
    QDirIterator it(host, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        each(DirEntry(DirEntry::Data{info, info.fileName()}));
    }
    return true;
}

} // namespace ovra::detail
