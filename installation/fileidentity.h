#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace ovra::detail {

// What tells a file as it is now from the same file after any write or rename over it, with one
// look at it (symbolic links followed): an index of hashes trusts a hash while this stays equal.
struct FileIdentity {
    qint64 size = -1;
    qint64 modified = 0; // nanoseconds, or the platform's finest unit
    qint64 changed = 0;  // the last change of the file's metadata, where the platform keeps one
    qint64 node = 0;     // the file's number on its volume, where the platform tells it cheaply
    bool operator==(const FileIdentity&) const = default;
};

// Nothing for a path that is no regular file.
std::optional<FileIdentity> fileIdentity(const QString& path);

} // namespace ovra::detail
