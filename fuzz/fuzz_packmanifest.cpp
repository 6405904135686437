// Arbitrary bytes as the manifest of a setup pack. Whatever it accepts must be within the limits
// a pack is checked against, and must read back the same once written; a refusal must say why.
#include "cli/setuppack.h"
#include "installation/paths.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void broken(const char* what, const QString& detail) {
    std::fprintf(stderr, "invariant broken: %s: %s\n", what, qPrintable(detail));
    std::abort();
}

bool same(const cli::PackManifest& a, const cli::PackManifest& b) {
    if (a.format != b.format || a.program != b.program || a.captions != b.captions ||
        a.members.size() != b.members.size())
        return false;
    for (qsizetype i = 0; i < a.members.size(); ++i) {
        const cli::PackMember &x = a.members[i], &y = b.members[i];
        if (x.kind != y.kind || x.name != y.name || x.size != y.size || x.sha256 != y.sha256)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray json =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const ovra::Result<cli::PackManifest> read = cli::readManifest(json);
    if (!read) {
        if (read.error.isEmpty())
            broken("a refusal needs a message", QString());
        return 0;
    }
    const cli::PackManifest& m = read.value;
    if (m.members.size() > cli::kMaxPackMembers)
        broken("too many members", QString::number(m.members.size()));
    if (!m.captions.isEmpty() && m.captions.size() != cli::kPackSlots)
        broken("captions that are not one per slot", QString::number(m.captions.size()));
    int configs = 0;
    for (const cli::PackMember& member : m.members) {
        if (!ovra::paths::isPlainFileName(member.name))
            broken("a name that is no plain file name", member.name);
        if (member.size < 0 || member.size > cli::kMaxPackMemberSize)
            broken("a size out of bounds", QString::number(member.size));
        if (member.sha256.size() != 64)
            broken("a hash that is not 64 digits", QString::fromLatin1(member.sha256));
        configs += member.kind == cli::PackKind::Tricks;
    }
    if (configs > 1)
        broken("more than one Trick Config", QString::number(configs));
    const ovra::Result<cli::PackManifest> again = cli::readManifest(cli::manifestJson(m));
    if (!again || !same(m, again.value))
        broken("a manifest that does not read back as written", again.error);
    return 0;
}
