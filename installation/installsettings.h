#pragma once

#include <QString>
#include <optional>

namespace ovra {

// The two settings files that both programs keep beside their executable.
inline constexpr char kGameDirectoryFile[] = "directorydata.dat";
inline constexpr char kCdDriveFile[] = "drivedata.dat";

// Paths in the game's own notation; they go through hostPath() before any file access.
QString settingsReadPath(const QString& programDir, const QString& fileName);  // dir + "/" + name
QString settingsWritePath(const QString& programDir, const QString& fileName); // dir + "\" + name

// Reads one settings file: its whole content is the value. Trailing CR and LF are dropped
// (a file edited by hand often ends in a line end). Returns nothing when the file is
// missing, cannot be read or is not a regular file (a FIFO there must not block the start), and
// then says why in `error` (when given).
std::optional<QString> readSettingFile(const QString& programDir, const QString& fileName,
                                       QString* error = nullptr);

struct StoreResult {
    bool ok = true;
    QString error;         // what went wrong, for the user, when !ok
    bool unchanged = true; // when !ok: both files are as they were before
};

// Writes the game directory, then the CD drive, each replacing its whole file atomically, and
// both or neither: when the CD drive file cannot be written after the game directory file was,
// the game directory file is put back, so the two never disagree after a failure.
StoreResult storeSettings(const QString& programDir, const QString& gameDirectory,
                          const QString& cdDrive);

} // namespace ovra
