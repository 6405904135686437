#include "discimage/isodirectory.h"

#include <bit>

namespace discimage::iso {

namespace {

constexpr int kFixedLength = 33;  // a record up to its name
constexpr int kRootOffset = 156;  // of the root record in a volume descriptor
constexpr int kEscapeOffset = 88; // of the escape sequences in a supplementary descriptor

quint32 le32(const uchar* p) {
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

bool fail(QString* why, const char* text) {
    if (why)
        *why = QString::fromLatin1(text);
    return false;
}

// Symbolic-link components: each a flags byte, a length and that many bytes. The decoder
// keeps the link's text only while each component adds to it: a field without components, an
// empty plain component or one of a kind it does not know makes it drop (and leak) what it
// holds when another component or field follows.
bool linkFits(const uchar* p, int length) {
    int rest = length - 5;
    if (rest < 2)
        return false;
    for (const uchar* c = p + 5; rest > 1;) {
        const int part = 2 + c[1];
        const int kind = c[0] & ~1; // the low bit: continued in the next component
        const bool known = (kind == 0 && c[1] > 0) || kind == 2 || kind == 4 || kind == 8;
        if (part > rest || !known)
            return false;
        c += part;
        rest -= part;
    }
    return true;
}

// The fields that the name decoder reads from each signature, so that none reaches past it.
bool fieldFits(const uchar* p, int length) {
    const auto is = [p](const char* sig) { return p[0] == uchar(sig[0]) && p[1] == uchar(sig[1]); };
    if (is("SP"))
        return length >= 7;
    if (is("CE"))
        return length >= 28;
    if (is("ER"))
        return length >= 8 && 8 + p[4] <= length;
    if (is("NM"))
        return length >= 5;
    if (is("PX"))
        return length >= 36;
    if (is("PN"))
        return length >= 20;
    if (is("SL"))
        return length >= 5 && linkFits(p, length);
    if (is("TF")) {
        const int stamps = std::popcount(unsigned(p[4] & 0x7f));
        return length >= 5 && 5 + stamps * ((p[4] & 0x80) ? 17 : 7) <= length;
    }
    return true;
}

// Walks the system use area the way the name decoder does: it stops at a field of length 0
// and reads a field's header while more than one byte is left.
bool checkSystemUse(const uchar* p, int length, Record* record, QString* why) {
    bool first = true;
    while (length > 1) {
        if (length < 4)
            return fail(why, "a Rock Ridge field is cut short");
        const int field = p[2];
        if (field == 0)
            break;
        if (field < 4 || field > length || !fieldFits(p, field))
            return fail(why, "a Rock Ridge field is malformed");
        if (p[0] == 'N' && p[1] == 'M')
            record->rockName = true;
        if (first && p[0] == 'S' && p[1] == 'P' && p[4] == 0xbe && p[5] == 0xef)
            record->announces = true;
        first = false;
        p += field;
        length -= field;
    }
    return true;
}

bool decodeName(const uchar* p, int length, bool joliet, Record* record, QString* why) {
    if (length == 1 && p[0] <= 1) {
        record->self = true;
        record->name = p[0] == 0 ? QStringLiteral(".") : QStringLiteral("..");
        return true;
    }
    QString name;
    if (joliet) {
        if (length % 2)
            return fail(why, "a Joliet name has an odd length");
        name.reserve(length / 2);
        for (int i = 0; i < length; i += 2) {
            const char16_t unit = char16_t(p[i] << 8 | p[i + 1]);
            // Lone halves of pairs cannot be converted by the decoder, and a NUL ends its text.
            if (unit == 0 || QChar::isSurrogate(unit))
                return fail(why, "a Joliet name holds a character that is not allowed");
            name += QChar(unit);
        }
    } else {
        int end = 0;
        while (end < length && p[end] != 0)
            ++end;
        name = QString::fromUtf8(reinterpret_cast<const char*>(p), end);
    }
    record->name = withoutVersion(name);
    return true;
}

bool parseRecord(const uchar* p, int length, bool joliet, Record* record, QString* why) {
    const int nameLength = p[32];
    if (nameLength == 0 || kFixedLength + nameLength > length)
        return fail(why, "a name runs past the end of its directory entry");
    record->extent = le32(p + 2);
    record->size = le32(p + 10);
    record->flags = p[25];
    // Data after an extended attribute record, interleaved or in several pieces: game discs
    // have none, and reading them as one run of sectors would give wrong bytes.
    if (p[1] != 0 || p[26] != 0 || p[27] != 0 || (record->flags & kMultiExtent))
        return fail(why, "an entry uses a layout this reader does not support");
    if (!decodeName(p + kFixedLength, nameLength, joliet, record, why))
        return false;
    const int systemUse = (kFixedLength + nameLength + 1) & ~1;
    if (systemUse > length)
        return fail(why, "a directory entry is cut short");
    return checkSystemUse(p + systemUse, length - systemUse, record, why);
}

} // namespace

std::optional<QList<Record>> parseDirectory(const QByteArray& sectors, bool joliet, QString* why) {
    const auto* p = reinterpret_cast<const uchar*>(sectors.constData());
    const qsizetype size = sectors.size();
    if (size == 0 || size % kSectorSize) {
        fail(why, "a folder is not made of whole sectors");
        return std::nullopt;
    }
    QList<Record> records;
    for (qsizetype offset = 0; offset < size;) {
        const qsizetype sectorEnd = offset - offset % kSectorSize + kSectorSize;
        const int length = p[offset];
        if (length == 0) {
            // The rest of the sector is padding. Readers differ on whether a zero byte ends
            // the sector or only itself, so nothing else may follow it.
            for (qsizetype i = offset; i < sectorEnd; ++i)
                if (p[i] != 0) {
                    fail(why, "stray bytes follow the entries of a folder sector");
                    return std::nullopt;
                }
            offset = sectorEnd;
            continue;
        }
        if (length < kFixedLength + 1) {
            fail(why, "a directory entry is shorter than its fixed fields");
            return std::nullopt;
        }
        if (offset + length > sectorEnd) {
            fail(why, "a directory entry runs past the end of its sector");
            return std::nullopt;
        }
        Record record;
        if (!parseRecord(p + offset, length, joliet, &record, why))
            return std::nullopt;
        records.append(record);
        offset += length;
    }
    return records;
}

std::optional<Record> rootRecord(const QByteArray& descriptor, bool joliet, QString* why) {
    if (descriptor.size() < kRootOffset + 34) {
        fail(why, "the volume descriptor is cut short");
        return std::nullopt;
    }
    const auto* p = reinterpret_cast<const uchar*>(descriptor.constData()) + kRootOffset;
    Record root;
    // The decoder reads this record inside the descriptor: it must be exactly the plain
    // 34-byte root entry, with nothing that looks like further fields after it.
    if (p[0] != 34 || p[32] != 1 || !parseRecord(p, 34, joliet, &root, why) || !root.self ||
        !root.isDirectory()) {
        fail(why, "the root folder's entry is malformed");
        return std::nullopt;
    }
    return root;
}

quint8 jolietLevel(const QByteArray& descriptor) {
    if (descriptor.size() < kEscapeOffset + 3 || uchar(descriptor[0]) != kSupplementary ||
        descriptor[kEscapeOffset] != '%' || descriptor[kEscapeOffset + 1] != '/')
        return 0;
    switch (descriptor[kEscapeOffset + 2]) {
    case '@':
        return 1;
    case 'C':
        return 2;
    case 'E':
        return 3;
    default:
        return 0;
    }
}

QString withoutVersion(QString name) {
    const qsizetype semicolon = name.lastIndexOf(u';');
    if (semicolon >= 0) {
        bool digits = true;
        for (qsizetype i = semicolon + 1; i < name.size(); ++i)
            digits = digits && name[i] >= u'0' && name[i] <= u'9';
        if (digits)
            name.truncate(semicolon);
    }
    if (name.endsWith(u'.'))
        name.chop(1);
    return name;
}

} // namespace discimage::iso
