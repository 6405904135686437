#pragma once

#include <QList>
#include <QString>
#include <optional>

// The Trick Config: one 8-character record per trick position, each two 4-character fields
// (the replaced trick, then the trick whose CD file it now holds). Widget-free, so that the
// window, the tests and the fuzzer share it.
namespace tricked {

inline constexpr int kTrickCount = 659; // positions 0 to 658
inline constexpr int kFieldLength = 4;
inline constexpr int kRecordLength = 2 * kFieldLength;
inline constexpr int kConfigLength = kTrickCount * kRecordLength; // 5272

// Opened texts longer than this are refused before they are read: a Trick Config is 5272
// characters, and the cap leaves room for what other tools may add without letting a file
// from a stranger ask for an unbounded number of copies.
inline constexpr qsizetype kMaxOpenedLength = 64 * 1024;

// A position written as a field: decimal, no sign, left-aligned, spaces to 4 characters.
// Nothing for a position that does not fit a field (negative or over 9999).
std::optional<QString> field(int position);

// The record of `replaced` holding `with`; nothing when a field does not fit.
std::optional<QString> record(int replaced, int with);

// The text of a new Trick Config: every record unchanged.
QString unchangedConfig();

// Offset of a position's record, computed as a 16-bit signed number like every trick position;
// nothing when it overflows (never for positions 0 to 658).
std::optional<qint16> recordOffset(int position);

// Writes the record of `replaced` holding `with` into a Trick Config text. The text keeps its
// length; false (text unchanged) when the offset overflows or the record lies past the end.
bool replaceRecord(QString& config, int replaced, int with);

// One changed record of an opened text: make `replaced` hold the CD file of `with`.
struct Swap {
    int record = 0; // 0-based index of the record in the text
    int replaced = 0;
    int with = 0;
    bool operator==(const Swap&) const = default;
};

struct ParseResult {
    bool ok = false;
    QList<Swap> swaps; // in the order of the records, when ok
    QString error;     // why the text was refused, naming the record, when !ok
};

// Reads an opened text as consecutive 4-character fields taken in pairs; characters after the
// last whole field and a last field without partner are not read. A record whose two fields
// are the same text is unchanged: it makes no swap and is not read further. Every other record
// is checked before anything is returned: each field must be a whole number (blanks around the
// digits allowed) and name a position below `positions` (the tricks on offer), otherwise the
// whole text is refused.
ParseResult parseOpened(const QString& text, int positions);

} // namespace tricked
