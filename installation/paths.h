#pragma once

#include <QString>

// Every game or CD path is the setting's text followed directly by a fixed literal in the
// game's own notation (backslashes): nothing is added, removed or normalised here.
// hostPath() maps such a path onto the file system just before it is used.
namespace ovra::paths {

QString musicDirectory(const QString& gameDirectory);  // game + "\data\music"
QString moviesDirectory(const QString& gameDirectory); // game + "\data\movies"
QString installedMusicFile(const QString& gameDirectory, const QString& name);
QString installedMovieFile(const QString& gameDirectory, const QString& name);
QString installedTrickFile(const QString& gameDirectory, const QString& name); // "\data\anims\skater_M\"
QString cdMoviesFile(const QString& cdDrive, const QString& name); // cd + "setup\data\data\movies\" + name
QString cdMusicFile(const QString& cdDrive, const QString& name);  // cd + "setup\data\data\music\" + name
QString cdTrickFolder(const QString& cdDrive);                     // cd + "setup\data\data\anims\skater_m"
QString inDirectory(const QString& directory, const QString& name); // directory + "\" + name
QString slotFile(const QString& programDir, int slot);              // program + "\data\" + slot + ".dat"

// Maps a path in game notation onto the host. On Windows it is the identity. Elsewhere a
// leading drive letter ("C:\Games", "D:setup\...") stands for that drive's folder in the Wine
// prefix (see wineDriveFolder; a letter without a drive stays as written and leads nowhere);
// each backslash becomes '/', and each component that does not exist as spelled is matched to
// the entry of its parent directory that equals it with letter case ignored; a component with no
// match keeps its spelling (so a new file is created as named).
QString hostPath(const QString& gamePath);

// The Wine prefix, read at each call: $WINEPREFIX when set, else ~/.wine (which may not exist).
// Empty on Windows, where drive letters are the system's own.
QString winePrefix();

// The host folder that a drive letter stands for under Wine: where the prefix's
// "dosdevices/<letter>:" entry leads, without symbolic links. Empty when the letter has no such
// entry or it leads to no folder (an unmounted CD), and always on Windows.
QString wineDriveFolder(QChar letter);

} // namespace ovra::paths
