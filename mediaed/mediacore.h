#pragma once

#include "filecopy.h"
#include "filelist.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The media editor's work without any window: loading the installation at start, replacing
// an installed track or movie, and restoring the stock files from the CD.
namespace mediaed {

inline const QString kProgramTitle = QStringLiteral("Ovra3MediaEd");
inline const QString kSongFilter =
    QStringLiteral("MP3 Audio (*.mp3)|*.mp3|MUS format (*.mus)|*.mus");
inline const QString kMovieFilter = QStringLiteral("MPEG movies (*.mpg)|*.mpg");

// The pick lists offer this many names, whatever the directories hold.
inline constexpr int kMusicOffered = 22;
inline constexpr int kMoviesOffered = 29;

enum class Side { Music, Movies };

// What the main window loads once at start and builds every path from.
struct Installation {
    std::optional<QString> gameDirectory; // nothing until loaded
    std::optional<QString> cdDrive;
    ovra::FileList File1{QStringLiteral("*.mus")};
    ovra::FileList File2{QStringLiteral("*.mpg")};

    const ovra::FileList& list(Side side) const { return side == Side::Music ? File1 : File2; }
};

struct LoadResult {
    bool ok = true;
    QStringList musicNames; // for the music pick list, in list order
    QStringList movieNames; // for the movie pick list
};

// Loads the game directory, then the CD drive, points the two file lists at the installation
// and takes the offered names, in that order. Stops at the first failure: everything before
// it stays loaded and the names taken so far are returned.
LoadResult loadInstallation(const QString& programDir, Installation& installation);

// Copies `source` (a host path, as the file dialog returned it) over the file named `target`
// in the directory of `list`. Nothing is written when the source is empty, when the list was
// never pointed at the installation, or when `target` is not a plain file name (a separator or
// a dot folder would put the copy somewhere else).
ovra::CopyResult replaceInstalled(const QString& source, const ovra::FileList& list,
                                  const QString& target);

// The progress value after restoring entry i of 0..last: single precision, 100 at the end.
float restoreProgress(int i, int last);

struct RestoreResult {
    bool ok = true;
    int restored = 0; // files copied before the end or the failure
    QString error;    // why it stopped, when !ok
};

// Copies the CD's stock file over each offered installed file, in list order, calling
// `progress` after every copy. Stops at the first failure (a name missing from the list, a
// setting that was not loaded, a copy that fails); the files copied before it stay restored.
RestoreResult restoreStock(Side side, const Installation& installation,
                           const std::function<void(float)>& progress);

} // namespace mediaed
