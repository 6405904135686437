// Arbitrary bytes into the RTF reader. It must never crash, must explain every refusal, and
// whatever text it accepts must come back unchanged through our own writer and reader.
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void broken(const char* what, const QString& detail) {
    std::fprintf(stderr, "invariant broken: %s: %s\n", what, qPrintable(detail));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The fuzzer's own buffer, not a copy, so that reading past its end is caught.
    const QByteArray document =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const rtf::ReadResult result = rtf::read(document);
    if (!result.ok) {
        if (result.error.isEmpty() || !result.text.isEmpty())
            broken("a refusal needs a message and no text", result.error);
        return 0;
    }
    if (result.text.size() > document.size())
        broken("more text than bytes", result.text.left(80));
    const QByteArray written = rtf::write(result.text);
    if (written.size() > rtf::kMaxDocumentSize)
        return 0; // too large to read back by design
    const rtf::ReadResult again = rtf::read(written);
    if (!again.ok)
        broken("our own document refused", again.error);
    if (again.text != result.text)
        broken("text changed by a round trip", result.text.left(80));
    return 0;
}
