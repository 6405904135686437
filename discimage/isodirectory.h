#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The raw structures of an ISO 9660 image, read and checked by us before the library that
// decodes Rock Ridge names ever sees them: it trusts every length it finds.
namespace discimage::iso {

inline constexpr qint64 kSectorSize = 2048;
// The sector of the primary volume descriptor; the others follow it up to a terminator.
inline constexpr qint64 kDescriptorSector = 16;

// Volume descriptor types, the first byte of each descriptor.
enum DescriptorType : uchar {
    kPrimary = 1,
    kSupplementary = 2,
    kTerminator = 255,
};

enum Flag : quint8 {
    kHidden = 0x01,
    kDirectory = 0x02,
    kAssociated = 0x04, // a resource fork beside the file of the same name
    kMultiExtent = 0x80,
};

struct Record {
    quint32 extent = 0; // first sector
    quint32 size = 0;   // bytes
    quint8 flags = 0;
    QString name;           // as recorded (ISO bytes or Joliet UCS-2), without ";1" and final dot
    bool self = false;      // the "." or ".." entry
    bool rockName = false;  // carries a Rock Ridge alternate name
    bool announces = false; // its system use starts with the sharing protocol's "SP" mark

    bool isDirectory() const { return flags & kDirectory; }
    qint64 sectors() const { return (qint64(size) + kSectorSize - 1) / kSectorSize; }
};

// Every record of a directory, given as whole sectors. Nothing and the reason when any record
// is malformed, so that no later reader walks past an entry or a sector.
std::optional<QList<Record>> parseDirectory(const QByteArray& sectors, bool joliet, QString* why);

// The root directory's record in a volume descriptor (one sector).
std::optional<Record> rootRecord(const QByteArray& descriptor, bool joliet, QString* why);

// The Joliet level (1 to 3) that a supplementary volume descriptor announces, else 0. Only the
// first escape sequence counts, as the library reads it.
quint8 jolietLevel(const QByteArray& descriptor);

// A plain or Joliet name without its version (";1") and a trailing dot.
QString withoutVersion(QString name);

} // namespace discimage::iso
