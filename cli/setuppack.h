#pragma once

#include "installation/fileread.h"
#include "installation/result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

// A setup pack: one zip file that carries a player's setup to another player's installation,
// the trick swaps as a Trick Config, the replaced music files with the soundtrack's captions
// and the replaced movies. It holds manifest.json and one member per file, "tricks/NAME",
// "music/NAME" or "movies/NAME", NAME being the installed file's name. Packs come from
// strangers: nothing of one is used before the whole of it has been checked.
namespace cli {

inline constexpr int kPackFormat = 1;
inline constexpr qint64 kMaxPackMemberSize = qint64(256) << 20;
inline constexpr int kMaxPackMembers = 1000;
inline constexpr int kMaxPackRatio = 100;           // a member's size over its compressed size
inline constexpr qint64 kMaxManifestSize = 1 << 20; // 1000 members and 19 captions fit easily
inline constexpr int kPackSlots = 19;

enum class PackKind { Tricks, Music, Movies };

struct PackMember {
    PackKind kind = PackKind::Music;
    QString name; // the installed file's name (the Trick Config's own name for tricks)
    qint64 size = 0;
    QByteArray sha256; // hex, lower case
};

struct PackManifest {
    int format = kPackFormat;
    QString program;      // what wrote it: "ovra3 VERSION"
    QStringList captions; // the 19 soundtrack captions, when music is packed; else empty
    QList<PackMember> members;
};

// "tricks", "music" or "movies": the member's folder in the zip and its word in messages.
QString kindWord(PackKind kind);
// The member's name in the zip: its kind's folder, "/", its name.
QString memberPath(const PackMember& member);

// The manifest as JSON, and back. Reading checks its whole shape: the format, every member's
// kind, name (a plain file name, one per kind without regard to case, at most one Trick
// Config), size (within kMaxPackMemberSize) and hash, at most kMaxPackMembers members, and
// captions that are none or 19 lines of text. Why not names the member.
QByteArray manifestJson(const PackManifest& manifest);
ovra::Result<PackManifest> readManifest(const QByteArray& json);

// A pack opened for reading, whose every check has passed: the zip holds manifest.json and
// exactly the members it lists, no member is a link, a folder or another path, none claims more
// than kMaxPackRatio times its compressed size, and each holds the size and the hash the
// manifest gives it (read through once, with the zip's own checksum).
class OpenedPack {
public:
    virtual ~OpenedPack() = default;
    virtual const PackManifest& manifest() const = 0;
    // Streams member `i` of the manifest through `write`; fails when its bytes are no longer
    // the ones checked (the file changed since).
    virtual ovra::Result<> read(int i, const ovra::WriteChunk& write) const = 0;
};

// Opens and checks the pack `file` (host path); why not names the member and the reason.
ovra::Result<std::unique_ptr<OpenedPack>> openPack(const QString& file);

// Writes the pack `file` (host path) with `manifest` and each member's bytes from the host
// file of the same index in `sources`; replaces `file` only once it is whole.
ovra::Result<> writePack(const QString& file, const PackManifest& manifest,
                         const QStringList& sources);

} // namespace cli
