// Directory entries on Windows, read with FindFirstFileExW: one pass gives each name with its
// attributes, so telling hidden, system and link entries costs no further look.
#include "installation/direntries.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

namespace ovra::detail {

struct DirEntry::Data {
    const QString& host;
    const WIN32_FIND_DATAW& found;
    QString name;
};

const QString& DirEntry::name() const {
    return d_.name;
}

bool DirEntry::decodes() const {
    return true; // names are UTF-16 text here
}

bool DirEntry::hidden() const {
    // Explorer leaves out both, as the game's own folders expect.
    return d_.found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
}

bool DirEntry::mayBeLink() const {
    return d_.found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
}

bool DirEntry::isRegular() const {
    const DWORD attributes = d_.found.dwFileAttributes;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return false;
    if (!mayBeLink())
        return !(attributes & FILE_ATTRIBUTE_DEVICE);
    return QFileInfo(d_.host + u'/' + d_.name).isFile();
}

QString DirEntry::target() const {
    return QFileInfo(d_.host + u'/' + d_.name).canonicalFilePath();
}

bool forEachEntry(const QString& host, const std::function<void(const DirEntry&)>& each) {
    if (host.isEmpty() || !QFileInfo(host).isDir())
        return false;
    const QString pattern = QDir::toNativeSeparators(host) + QStringLiteral("\\*");
    WIN32_FIND_DATAW found;
    const HANDLE search =
        FindFirstFileExW(reinterpret_cast<const wchar_t*>(pattern.utf16()), FindExInfoBasic, &found,
                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        if (name == u'.' || name == QLatin1String(".."))
            continue;
        each(DirEntry(DirEntry::Data{host, found, name}));
    } while (FindNextFileW(search, &found));
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(search);
    return complete;
}

} // namespace ovra::detail
