#pragma once

#include "installation/fileread.h"
#include "installation/result.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

namespace ovra {

// Every file written here goes to a temporary file in the destination's directory that is then
// renamed over the destination, so a failure at any point (missing source, full disk, file-size
// limit, killed process) leaves the destination as it was. Every write, the close and the
// rename are checked. Only regular files are replaced: a folder, a FIFO or a device in the way
// is refused without being opened, and so is a read-only file.
//
// A replaced regular file keeps its owner, group and mode (without set-id bits; never wider
// than before); a new file gets the ordinary mode for new files, never a source's.

// What a symbolic link at the destination means.
enum class LinkPolicy {
    // The link itself is replaced by a regular file and its target is never written (a game
    // file must not write through to somewhere outside the game folder).
    ReplaceLink,
    // The file the link leads to is written, and the link stays (the player's own files).
    WriteTarget,
};

// Writes the whole content through the chunk writer; returns an error text, or an empty string.
using ContentProducer = std::function<QString(const WriteChunk& write)>;

// Replaces the game file `to` with an exact copy of `from` (both host paths).
CopyResult replaceFile(const QString& from, const QString& to);

// Replaces `to` (host path) with whatever `produce` writes.
CopyResult replaceFileWith(const QString& to, const ContentProducer& produce, LinkPolicy links);

// Replaces one of the player's own files (settings, slot files, Trick Configs) with `bytes`.
CopyResult writeFileAtomically(const QString& path, const QByteArray& bytes);

// A replacement in two steps, so that several files can be written out before any of them
// replaces its old self. Destroying it before commit() removes the temporary file.
class StagedFile {
public:
    StagedFile();
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Writes `bytes` to a temporary file for `path`, as writeFileAtomically does.
    CopyResult stage(const QString& path, const QByteArray& bytes);
    // Renames the staged temporary over its file.
    CopyResult commit();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace ovra
