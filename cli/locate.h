#pragma once

#include "cli/commands.h"

#include <QList>
#include <QString>
#include <QStringList>

// ovra3 locate and ovra3 setup: the game installations and game CDs on this computer, found in
// the places launchers and players put them, and the two settings stored from them.
namespace cli {

// Where the search starts.
struct LocateRoots {
    QString home;               // the user's home folder
    QString winePrefix;         // $WINEPREFIX; empty when not set
    QStringList mounts;         // the roots of mounted volumes
    QStringList installFolders; // Windows' install folders (Program Files, ...)

    static LocateRoots ofThisSystem();
};

struct Candidate {
    QString path; // the folder or disc image, as the host sees it
    QString how;  // how it was found, for the user
};

struct Located {
    QList<Candidate> games;
    QList<Candidate> cds;
    bool stopped = false; // the time limit ran out before every place was looked at
};

// Looks in the named places only, each to a fixed depth, following no link out of the place it
// is in, until `timeLimitMs` runs out. A game folder is known by its layout (trick animations in
// data\anims\skater_M, music in data\music, letter case ignored); a CD by its tricks, in a folder
// or mount or inside a disc image that is ISO 9660 by its volume descriptor.
Located locate(const LocateRoots& roots, int timeLimitMs = 10000);

// Whether `folder` (a host path) holds the game's layout.
bool isGameFolder(const QString& folder);

int locateCommand(const ovra::Installation& installation, const Args& args, Console& console);
int setupCommand(const ovra::Installation& installation, const Args& args, Console& console);

} // namespace cli
