#pragma once

#include "installsettings.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// What the installation holds, told by content: each installed trick, music and movie file
// compared with the CD's files. Every file taking part is read once at most: files are grouped
// by size first, and only files whose size occurs on both sides are hashed.
namespace cli {

// Where to look: the settings files of the program folder, unless a value is given.
struct Where {
    QString programDir;
    std::optional<QString> gameDirectory; // --game
    std::optional<QString> cdDrive;       // --cd
};

enum class TrickState {
    Stock,   // its bytes equal its own CD file
    Holds,   // its bytes equal another CD trick's file
    Changed, // equal to no CD trick
    Missing, // no installed file
};

enum class MediaState {
    Stock,    // equal to the CD file of the same name
    Replaced, // anything else
    Missing,  // a name the pick list would offer is not installed
};

struct TrickEntry {
    int position = 0;
    QString name;
    TrickState state = TrickState::Missing;
    int holds = -1; // the CD trick whose bytes it holds, when Holds
};

struct MediaEntry {
    QString name;
    MediaState state = MediaState::Missing;
};

struct Inventory {
    QString gameDirectory; // the values used, as the settings hold them
    QString cdDrive;
    QList<TrickEntry> tricks; // every position on offer, in order
    QList<MediaEntry> music;  // the names the pick list offers, then those missing from it
    QList<MediaEntry> movies;
};

struct Taken {
    bool ok = false;
    QString error;        // why not, naming the file or folder, when !ok
    QStringList warnings; // things the player should know that do not stop it
    Inventory inventory;
};

// Called after each file read: how many of how many.
using Progress = std::function<void(int done, int total)>;

enum class Scope { TricksOnly, Everything };

// Loads the installation as the programs do and compares every file it covers.
Taken takeInventory(const Where& where, Scope scope, const Progress& progress);

// The Trick Config text that makes every swap the tricks hold again: the unchanged text with one
// record per position that holds another CD trick. The positions it cannot reproduce (changed or
// missing) go to `leftOut`.
QString reproducingConfig(const Inventory& inventory, QList<TrickEntry>* leftOut);

// A core loaded as the programs load it, with the values of `where`: a value given stands in
// for the one its settings file holds.
template <class Core> struct LoadedCore {
    std::unique_ptr<Core> core;
    typename Core::Loaded loaded;
};

// Either option alone stands in for its own setting only: the other is read from its file.
template <class Core> LoadedCore<Core> loadCore(const Where& where) {
    auto core = std::make_unique<Core>(where.programDir);
    if (!where.gameDirectory && !where.cdDrive) {
        auto loaded = core->load();
        return {std::move(core), loaded};
    }
    const ovra::ProgramFolder folder(where.programDir);
    const auto value = [&](const std::optional<QString>& given, const char* file, QString* why) {
        return given ? given : ovra::loadSetting(folder, file, why);
    };
    QString why;
    const std::optional<QString> game = value(where.gameDirectory, ovra::kGameDirectoryFile, &why);
    const std::optional<QString> cd =
        game ? value(where.cdDrive, ovra::kCdDriveFile, &why) : std::nullopt;
    if (!game || !cd) {
        typename Core::Loaded failed;
        failed.error =
            QStringLiteral("%1 was not given, and the %2 is not set: %3")
                .arg(game ? "--cd" : "--game", game ? "CD drive" : "game directory", why);
        return {std::move(core), failed};
    }
    auto loaded = core->load(*game, *cd);
    return {std::move(core), loaded};
}

} // namespace cli
