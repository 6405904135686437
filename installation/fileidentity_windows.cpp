// File identities on Windows: the attributes one directory lookup gives. A rename over a file
// brings the temporary's creation time, which stands in for a file number.
#include "installation/fileidentity.h"

#include <QDir>

#include <windows.h>

namespace ovra::detail {

namespace {

qint64 ticks(const FILETIME& t) {
    return qint64((quint64(t.dwHighDateTime) << 32) | t.dwLowDateTime);
}

} // namespace

std::optional<FileIdentity> fileIdentity(const QString& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    if (!GetFileAttributesExW(native.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
        return std::nullopt;
    return FileIdentity{qint64((quint64(data.nFileSizeHigh) << 32) | data.nFileSizeLow),
                        ticks(data.ftLastWriteTime), 0, ticks(data.ftCreationTime)};
}

} // namespace ovra::detail
