#pragma once

#include "installation/result.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// Whole reads of files from strangers (settings, slot files, Trick Configs) and of CD files,
// refusing anything but a regular file before it is opened.
namespace ovra {

// Writes `size` bytes; false when the write failed (its errno is reported).
using WriteChunk = std::function<bool(const char* data, qint64 size)>;

// Reads a whole regular file (host path, symbolic links followed) of at most `maxSize` bytes.
// Anything else (a folder, a FIFO, a device) is refused before it is opened, so nothing blocks
// and no device is touched.
Result<QByteArray> readRegularFile(const QString& path, qint64 maxSize);

// Streams a whole regular file (host path, symbolic links followed) through `write`, refusing
// what readRegularFile refuses, before opening it; why it failed names the file. A false from
// `write` ends it.
Result<> streamRegularFile(const QString& path, const WriteChunk& write);

// The size of a regular file (host path), with one look at it; nothing for anything else.
// `followLinks` false: a symbolic link is not a regular file.
std::optional<qint64> regularFileSize(const QString& path, bool followLinks);

} // namespace ovra
