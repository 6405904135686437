// Arbitrary bytes down the path of "Open and Restore Trick Config": the RTF reader, then the
// check of the whole text. Whatever it accepts must be swaps that the editor can make: positions
// on offer, records that exist, fields that differ; and a refusal must say why.
#include "rtf/rtfreader.h"
#include "tricked/trickconfig.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void broken(const char* what, const QString& detail) {
    std::fprintf(stderr, "invariant broken: %s: %s\n", what, qPrintable(detail));
    std::abort();
}

void check(const QString& text, int positions, const tricked::ParseResult& result) {
    if (!result.ok) {
        if (result.error.isEmpty() || !result.swaps.isEmpty())
            broken("a refusal needs a message and no swaps", result.error);
        return;
    }
    if (text.size() > tricked::kMaxOpenedLength)
        broken("a text over the cap was read", QString::number(text.size()));
    QString config = tricked::unchangedConfig();
    int previous = -1;
    for (const tricked::Swap& s : result.swaps) {
        if (s.replaced < 0 || s.replaced >= positions || s.with < 0 || s.with >= positions)
            broken("a position not on offer", QStringLiteral("%1 %2").arg(s.replaced).arg(s.with));
        if (s.record <= previous || qsizetype(s.record + 1) * tricked::kRecordLength > text.size())
            broken("a record out of order or past the text", QString::number(s.record));
        previous = s.record;
        const QStringView record = QStringView(text).mid(s.record * tricked::kRecordLength, 8);
        if (record.first(4) == record.last(4))
            broken("an unchanged record made a swap", record.toString());
        if (!tricked::replaceRecord(config, s.replaced, s.with))
            broken("a swap that cannot be recorded", record.toString());
    }
    if (config.size() != tricked::kConfigLength)
        broken("recording changed the text's length", QString::number(config.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray document =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const rtf::ReadResult read = rtf::read(document);
    if (!read.ok)
        return 0;
    // A full trick list, a short one (a CD with missing files) and none at all.
    const tricked::ParseResult full = tricked::parseOpened(read.text, tricked::kTrickCount);
    check(read.text, tricked::kTrickCount, full);
    for (int positions : {100, 0}) {
        const tricked::ParseResult fewer = tricked::parseOpened(read.text, positions);
        check(read.text, positions, fewer);
        // Fewer tricks on offer can only refuse more, never read the text differently.
        if (fewer.ok && (!full.ok || fewer.swaps != full.swaps))
            broken("a shorter trick list accepted what the full one did not", fewer.error);
    }
    return 0;
}
