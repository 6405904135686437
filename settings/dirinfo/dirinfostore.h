#pragma once

#include "installsettings.h"

namespace ovra {

// Stores the game directory and the CD drive as storeSettings does, but both or neither: when
// the CD drive file cannot be written after the game directory file was, the game directory
// file is put back as it was (or removed again if it did not exist), so the two files never
// disagree after a failure. On failure `error` is the whole message for the user.
StoreResult storeDirectoryInfo(const QString& programDir, const QString& gameDirectory,
                               const QString& cdDrive);

} // namespace ovra
