#pragma once

#include <QString>

// The temporary files of the safe writer, and the clean-up of those that killed writers left.
namespace ovra {

// Prefix of the temporary files; only a killed process leaves one behind.
inline constexpr char kTempPrefix[] = ".ovra3-tmp-";

// Removes the temporaries that killed writers left in a directory (host path) and returns how
// many. Only names the writer makes are touched, and only files that no running writer holds:
// another instance's copy in progress is left alone.
int removeStaleTemporaries(const QString& directory);

// Exactly the names the writer makes: the prefix and the six letters or digits that replace the
// template's XXXXXX.
bool isTemporaryName(const QString& name);

} // namespace ovra
