#pragma once

#include <QString>

namespace ovra {

struct CopyResult {
    bool ok = true;
    QString error; // why it failed, when !ok
    explicit operator bool() const { return ok; }
};

// Replaces the file `to` with an exact copy of `from` (both host paths). The bytes go to a
// temporary file in the destination's directory that is then renamed over the destination,
// so a failure at any point (missing source, disk full, killed process) leaves the
// destination as it was. A read-only destination is refused.
CopyResult replaceFile(const QString& from, const QString& to);

// Prefix of the temporary files replaceFile leaves behind only when the process dies mid-copy.
inline constexpr char kTempPrefix[] = ".ovra3-tmp-";

// Removes temporaries that a killed copy left in a directory (host path). Returns how many.
int removeStaleTemporaries(const QString& directory);

} // namespace ovra
