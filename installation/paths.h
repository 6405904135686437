#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Every game or CD path is the setting's text followed directly by a fixed literal in the
// game's own notation (backslashes): nothing is added, removed or normalised here.
// hostPath() maps such a path onto the file system just before it is used.
namespace ovra::paths {

// A path in the game's own notation: a setting's text and the literals after it, with
// backslashes and any letter case. It never becomes a host path on its own: only hostPath()
// maps it onto the file system.
class GamePath {
public:
    explicit GamePath(QString text = {}) : text_(std::move(text)) {}
    const QString& text() const { return text_; }
    bool isEmpty() const { return text_.isEmpty(); }
    // The path followed directly by a literal in game notation (nothing added or removed).
    GamePath operator+(const QString& literal) const { return GamePath(text_ + literal); }
    bool operator==(const GamePath& other) const { return text_ == other.text_; }

private:
    QString text_;
};

// A path on the host's file system, as the system calls take it (it converts to one), made from
// a game path by hostPath() or taken as a host gave it (a file dialog, a command line).
class HostPath {
public:
    explicit HostPath(QString text = {}) : text_(std::move(text)) {}
    const QString& text() const { return text_; }
    operator const QString&() const { return text_; }
    bool isEmpty() const { return text_.isEmpty(); }

private:
    QString text_;
};

// The CD's folders below its root, as they follow the drive setting (or lie inside a disc image).
inline const QString kCdMusic = QStringLiteral("setup\\data\\data\\music");
inline const QString kCdMovies = QStringLiteral("setup\\data\\data\\movies");
inline const QString kCdTricks = QStringLiteral("setup\\data\\data\\anims\\skater_m");

// Folders, from the settings' text.
GamePath musicDirectory(const QString& gameDirectory);  // game + "\data\music"
GamePath moviesDirectory(const QString& gameDirectory); // game + "\data\movies"
GamePath trickDirectory(const QString& gameDirectory);  // game + "\data\anims\skater_M"
GamePath cdMusicFolder(const QString& cdDrive);         // cd + "setup\data\data\music"
GamePath cdMoviesFolder(const QString& cdDrive);        // cd + "setup\data\data\movies"
GamePath cdTrickFolder(const QString& cdDrive);         // cd + "setup\data\data\anims\skater_m"
GamePath slotFile(const QString& programDir, int slot); // program + "\data\" + slot + ".dat"

// A name from a directory listing, a disc image, a file or a pick list is a name, never a path,
// and it must be a name that a Windows folder can hold: not empty, not "." or "..", without a
// control character (0x00-0x1F, 0x7F) or any of < > : " / \ | ? *, not ending in a dot or a
// blank, and not a device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with any extension). A
// Windows listing of the same CD never holds any other, so leaving them out keeps every ordinary
// name at its position; and the mapping below would turn backslashes into folders.
bool isPlainFileName(const QString& name);

// The one join of a name to a folder: folder + "\" + name in game notation, or nothing when
// the name is not plain. Every file path built from a name goes through it.
std::optional<GamePath> fileIn(const GamePath& folder, const QString& name);
// The same, mapped onto the host.
std::optional<HostPath> hostFileIn(const GamePath& folder, const QString& name);

// Whether the host path `path` (canonical) is `root` (canonical) or lies inside it; false when
// either is empty.
bool isWithin(const QString& path, const QString& root);

// Maps a path in game notation onto the host. On Windows it is the identity. Elsewhere a
// leading drive letter ("C:\Games", "D:setup\...") stands for that drive's folder in the Wine
// prefix (see wineDriveFolder; a letter without a drive leads nowhere: the result is empty);
// each backslash becomes '/', and each component that does not exist as spelled is matched to
// the entry of its parent directory that equals it with letter case ignored; a component with no
// match keeps its spelling (so a new file is created as named).
HostPath hostPath(const GamePath& gamePath);

// A game path for messages as the host sees it: mapped onto the host, with the host's separators;
// as it stands only where it leads nowhere.
QString shown(const GamePath& gamePath);

// Why a setting's value (not empty) leads nowhere on this system, or an empty text: a drive
// letter the Wine prefix does not hold, or a path that is not a full one.
QString leadsNowhere(const QString& value);

// How a name finds its entry among the names of one folder, as Windows finds it: the entry
// spelled the same, else the entry equal to it with letter case ignored, and among several
// such the first in code order, so the choice is the same on every run. Host folders, the
// host-path mapping and disc images all match through it. Built once per listing; a lookup
// costs a hash or two.
class CaseMatch {
public:
    explicit CaseMatch(QStringList entries = {});

    // The index in the entries of the one `name` stands for; -1 when none does.
    qsizetype find(const QString& name) const;
    const QStringList& entries() const { return entries_; }

private:
    QStringList entries_;
    QHash<QString, qsizetype> exact_;
    QHash<QString, qsizetype> folded_; // case-folded name -> the variant that wins
};

// The same rule as a disc image takes it from its caller.
std::function<qsizetype(const QString&)> caseMatcher(const QStringList& entries);

// How this system compares names in paths.
Qt::CaseSensitivity pathCase();

// The Wine prefix, read at each call: $WINEPREFIX when set, else ~/.wine (which may not exist).
// Empty on Windows, where drive letters are the system's own.
QString winePrefix();

// A drive of the Wine prefix, through which Windows games and their settings see the host.
struct WineDrive {
    QChar letter;   // lower case, as the prefix names it
    QString folder; // the host folder it stands for, without symbolic links
};

// The prefix's drives by letter: every "x:" entry of its dosdevices folder that leads to a
// folder (not the "x::" devices, ports, or a CD drive with nothing mounted). None on Windows.
QList<WineDrive> wineDrives();

// The reverse of hostPath for folders: `directory` (a host path) in drive-letter notation
// ("C:\Games\Ovra3", a root as "C:\") when one of `drives` holds it, the one with the longest
// folder. Drives whose folder is the file-system root (Wine's "z:") are left out, so a plain host
// path stays one. Nothing when no drive holds it.
std::optional<GamePath> inDriveLetters(const HostPath& directory, const QList<WineDrive>& drives);

// What a setting holds for the host folder `directory`: inDriveLetters() of it, with links
// resolved; else the folder as it is.
GamePath settingFor(const HostPath& directory, const QList<WineDrive>& drives);

// The host folder that a drive letter stands for under Wine: where the prefix's
// "dosdevices/<letter>:" entry leads, without symbolic links. Empty when the letter has no such
// entry or it leads to no folder (an unmounted CD), and always on Windows.
QString wineDriveFolder(QChar letter);

} // namespace ovra::paths
