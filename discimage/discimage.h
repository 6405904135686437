#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// Reads the files of a CD kept as an ISO 9660 image file, without mounting it. Images come
// from strangers: a damaged one ends in a clear error, never a crash, a read outside the file
// or unbounded memory or time.
namespace discimage {

struct Entry {
    // Rock Ridge, else Joliet, else the plain name; the last two without a version (";1")
    // and a final dot.
    QString name;
    bool directory = false;
    bool hidden = false; // marked hidden on the disc
    qint64 size = 0;
};

// How a path component finds its entry among a folder's names: the index of the one it stands
// for, or -1. The rule comes from the caller, so that names in an image are matched as the
// caller matches them in folders on the host; it is made once per folder listing.
using NameLookup = std::function<qsizetype(const QString& name)>;
using NameRule = std::function<NameLookup(const QStringList& names)>;

// Receives a file's bytes in order; false stops the read.
using WriteChunk = std::function<bool(const char* data, qint64 size)>;

// The largest piece handed to a WriteChunk at once.
inline constexpr qint64 kChunkSize = 64 * 1024;
// Limits against hostile images: a folder's size, the depth of a path and the number of volume
// descriptors after the primary one (discs have a handful).
inline constexpr qint64 kMaxFolderBytes = 1024 * 1024;
inline constexpr int kMaxDepth = 16;
inline constexpr int kMaxDescriptors = 64;

// Images are used from one thread at a time, all of them together: the library's path
// lookup is not safe on two threads at once.
class Image {
public:
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Opens an image file (host path) whose names are found by `rule`. Nothing and a reason (in
    // `error`, may be null) when it is not a readable ISO 9660 image: missing, not a regular file,
    // no volume descriptor, truncated or damaged.
    static std::unique_ptr<Image> open(const QString& hostPath, NameRule rule, QString* error);

    // The entries of a folder in the game's notation relative to the image root
    // ("setup\data\data\anims\skater_m"; "" is the root), never "." or "..", in disc order.
    // Each component is found by the rule the image was opened with. Nothing and a reason
    // when the folder is not there or cannot be read.
    std::optional<QList<Entry>> list(const QString& folder, QString* error) const;

    // The size of a file (same notation); nothing when there is no such file.
    std::optional<qint64> fileSize(const QString& path) const;

    // Streams a file's bytes through `write` in chunks of at most kChunkSize. Returns an empty
    // text on success, else why it failed; a false from `write` ends it ("write failed").
    QString read(const QString& path, const WriteChunk& write) const;

private:
    struct Private;
    explicit Image(std::unique_ptr<Private> d);
    std::unique_ptr<Private> d;
};

// True when the host path names a regular file that starts like an ISO 9660 image (a volume
// descriptor at sector 16). Never opens anything else, so a FIFO or device cannot block it.
bool isImage(const QString& hostPath);

} // namespace discimage
