#pragma once

#include "installation/paths.h"

#include <QString>
#include <optional>

namespace ovra {

// Where a program keeps its own files: the two settings files and the soundtrack catalogue's
// `data` folder. That is the program's folder for a copy run where it was built or unpacked (a
// portable copy, the demo) when that folder can be written. An installed copy (see isInstalled),
// or one whose folder cannot be written, keeps them in a per-user folder with the same layout:
// $XDG_CONFIG_HOME/Ovra3, by default ~/.config/Ovra3 (%APPDATA%\Ovra3 on Windows). A file found
// only beside the program (one a packager shipped) is read from there.
class ProgramFolder {
public:
    explicit ProgramFolder(QString programDir);

    // Where files are written, and read first (a path without a trailing separator).
    const QString& own() const { return own_; }
    // The program's own folder.
    const QString& beside() const { return beside_; }
    // The folder of the two that holds `relative` (as "drivedata.dat" or "data/3.dat"): own()
    // when the file is there, else beside() when it is there, else own().
    const QString& holding(const QString& relative) const;

private:
    QString beside_;
    QString own_;
};

// $XDG_CONFIG_HOME/Ovra3, or ~/.config/Ovra3 where that variable is not set; %APPDATA%\Ovra3
// on Windows.
QString perUserFolder();

// True when the program in `programDir` (a host path) was installed under a prefix: installing
// puts a marker file at kInstalledMarker relative to the programs' folder ("../share/...").
// A build folder, the demo and an unpacked folder have none.
bool isInstalled(const QString& programDir);
extern const char kInstalledMarker[];

// The two settings files that both programs keep beside their executable.
inline constexpr char kGameDirectoryFile[] = "directorydata.dat";
inline constexpr char kCdDriveFile[] = "drivedata.dat";

// Paths in the game's own notation; they go through hostPath() before any file access.
paths::GamePath settingsReadPath(const QString& programDir, const QString& fileName);  // dir/name
paths::GamePath settingsWritePath(const QString& programDir, const QString& fileName); // dir\name

// Why a setting's value leads nowhere, or an empty text when it may lead somewhere: an empty
// value (or blanks only), a drive letter that the Wine prefix does not hold, and a path that is
// not absolute (it would be taken from whatever folder the program was started in, or from the
// root of the file system once a literal such as "\data\music" follows it).
QString whyNowhere(const QString& value);

// Reads one settings file: its whole content is the value. Trailing CR and LF are dropped
// (a file edited by hand often ends in a line end). Returns nothing when the file is
// missing, cannot be read or is not a regular file (a FIFO there must not block the start), and
// then says why in `error` (when given).
std::optional<QString> readSettingFile(const QString& programDir, const QString& fileName,
                                       QString* error = nullptr);

// The two settings as a program loads them at start: the game directory first, then the CD
// drive; loading stops at the first that cannot be read, and says why.
struct Settings {
    std::optional<QString> gameDirectory;
    std::optional<QString> cdDrive;
    QString error; // when one of the two is missing
    bool complete() const { return gameDirectory && cdDrive; }
};
// Values that stand in for the settings files' (a command line's): each for its own setting
// only, the other read from its file.
struct GivenSettings {
    std::optional<QString> gameDirectory;
    std::optional<QString> cdDrive;
    bool any() const { return gameDirectory || cdDrive; }
};
// Loads both from where the program keeps them, except those given, and clears what a killed
// store left there. A value that leads nowhere (see whyNowhere; an empty file among them) is
// not loaded.
Settings loadSettings(const ProgramFolder& folder, const GivenSettings& given = {});
// One of the two (kGameDirectoryFile or kCdDriveFile) loaded on its own, judged the same way.
std::optional<QString> loadSetting(const ProgramFolder& folder, const char* fileName,
                                   QString* error);

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
// The same into the folder where the program keeps its own files (made when it is missing).
StoreResult storeSettings(const ProgramFolder& folder, const QString& gameDirectory,
                          const QString& cdDrive);

} // namespace ovra
