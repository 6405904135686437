#pragma once

#include "installation/filecopy.h"
#include "installation/filelist.h"
#include "installation/folders.h"
#include "installation/installation.h"
#include "installation/restore.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

// The media editor's work without any window: loading the installation at start, replacing
// an installed track or movie, and restoring the stock files from the CD. The window only shows
// what it returns; the command line uses it too.
namespace mediaed {

inline const QString kProgramTitle = QStringLiteral("Ovra3MediaEd");

enum class Side { Music, Movies };

// All that differs between the music side and the movie side.
struct SideTable {
    QString pattern; // the installed files the list holds
    int offered;     // names offered in the pick list, fixed
    QString filter;  // the file dialog's filter
    ovra::paths::GamePath (*installedFolder)(const QString& gameDirectory);
    QString cdFolder; // below the CD's root
};
const SideTable& sideTable(Side side);

// The progress bar's value after restoring entry i of 0..last: single precision, 100 at the
// end.
float restoreProgress(int i, int last);

class MediaCore {
public:
    struct Loaded {
        bool ok = false;                    // every step done and every offered name found
        QString error;                      // the first failure, when !ok
        std::array<QStringList, 2> offered; // the names for each pick list, taken so far
    };

    // Reads the game directory and the CD drive from the settings files in `programDir`.
    explicit MediaCore(QString programDir);

    // Start-up: the game directory, then the CD drive, then the two file lists and the names
    // they offer. Stops at the first failure; what was loaded before it stays.
    Loaded load();
    // The same on an installation opened elsewhere (with values given on a command line).
    Loaded load(ovra::Installation installation);

    const ovra::Installation& installation() const { return installation_; }
    const std::optional<QString>& gameDirectory() const { return installation_.gameDirectory(); }
    const std::optional<QString>& cdDrive() const { return installation_.cdDrive(); }
    // File1 (music) and File2 (movies).
    const ovra::FileList& list(Side side) const { return lists_[std::size_t(side)]; }

    // Copies `source` (a host path, as the file dialog returned it) over the file named
    // `target` in the side's installed folder. Nothing is written when the source is empty,
    // when the installation was never loaded, or when `target` is no plain file name.
    ovra::CopyResult replace(Side side, const QString& source, const QString& target);

    // Copies the CD's stock file over each offered installed file, in list order, with the
    // progress after every copy (done of the number offered). Stops at the first failure (a name
    // missing from the list, a setting that was not loaded, a copy that fails); the files copied
    // before it stay restored.
    ovra::RestoreResult restore(Side side, const ovra::Progress& progress);

private:
    Loaded loadLists();

    QString programDir_;
    ovra::Installation installation_; // RichTextBox1 and RichTextBox2, and the CD they name
    std::array<ovra::FileList, 2> lists_{ovra::FileList(QStringLiteral("*.mus")),
                                         ovra::FileList(QStringLiteral("*.mpg"))};
    bool listed_[2] = {false, false};
};

} // namespace mediaed
