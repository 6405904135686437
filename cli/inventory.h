#pragma once

#include "installation/installation.h"

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

// Loads the installation's cores as the programs do and compares every file it covers.
Taken takeInventory(const ovra::Installation& installation, Scope scope, const Progress& progress);

// The Trick Config text that makes every swap the tricks hold again: the unchanged text with one
// record per position that holds another CD trick. The positions it cannot reproduce (changed or
// missing) go to `leftOut`.
QString reproducingConfig(const Inventory& inventory, QList<TrickEntry>* leftOut);

// A core loaded as the programs load it, on an installation opened once.
template <class Core> struct LoadedCore {
    std::unique_ptr<Core> core;
    typename Core::Loaded loaded;
};

template <class Core> LoadedCore<Core> loadCore(const ovra::Installation& installation) {
    auto core = std::make_unique<Core>(installation.programFolder().beside());
    auto loaded = core->load(installation);
    return {std::move(core), loaded};
}

} // namespace cli
