#pragma once

#include "installation/folders.h"
#include "installation/installsettings.h"

#include <QString>
#include <optional>

namespace ovra {

// The game installation as both programs and ovra3 see it, opened once: where the program keeps
// its own files, the two settings, and the CD they name (a folder, a mount or a disc image).
// Opening stops at the first setting that cannot be had, as a program's start-up does, and says
// why in one reason. A value; copies share nothing that changes.
class Installation {
public:
    using Given = GivenSettings;

    // An installation that was never opened: no settings, and why.
    Installation();

    // Reads the settings (see loadSettings) from where the program in `programDir` keeps them,
    // except those given. A value that leads nowhere is not loaded, and neither is what follows.
    static Installation open(const QString& programDir, const Given& given = {});

    // Both settings loaded.
    bool complete() const { return settings_.complete(); }
    // Why not, when not complete: the first setting that could not be had.
    const QString& error() const { return settings_.error; }

    const ProgramFolder& programFolder() const { return folder_; }
    const std::optional<QString>& gameDirectory() const { return settings_.gameDirectory; }
    const std::optional<QString>& cdDrive() const { return settings_.cdDrive; }
    // The CD the drive setting names; null when that setting was not loaded.
    const CdSource* cd() const { return cd_ ? &*cd_ : nullptr; }

    // An installed folder, `folder(game directory)` in game notation (paths::trickDirectory,
    // paths::musicDirectory, ...), listed on the host for one command. A folder of no game
    // directory leads nowhere: it holds nothing and no file can be made in it.
    HostFolder installed(paths::GamePath (*folder)(const QString&)) const;

private:
    ProgramFolder folder_;
    Settings settings_;
    std::optional<CdSource> cd_;
};

} // namespace ovra
