#pragma once

#include <QString>
#include <QStringList>

// Generates a game installation and a game CD folder that look like the real ones to both
// programs: the demo, the tests' fixtures and the benchmarks all use it.
namespace demogen {

struct Options {
    int musicFiles = 22;      // installed .mus files (the 19 stock names come first)
    int movieFiles = 29;      // installed .mpg files
    int trickFiles = 659;     // .ska files in the CD trick folder (and installed)
    int installedTricks = -1; // installed .ska files; -1: as many as on the CD
    int cdMusicFiles = -1;    // .mus files in the CD music folder; -1: as installed
    int cdMovieFiles = -1;    // .mpg files in the CD movies folder; -1: as installed
    bool withCd = true;       // false: no CD folder at all
    qint64 fileSize = 256;    // bytes of every generated game file (content is distinct)
    qint64 trickSize = -1;    // bytes of every .ska file; -1: fileSize
    qint64 musicSize = -1;    // bytes of every .mus file; -1: fileSize
    qint64 movieSize = -1;    // bytes of every .mpg file; -1: fileSize
};

struct Layout {
    QString root;          // everything lies below it
    QString gameDirectory; // value of the game-directory setting (host path, no trailing /)
    QString cdDrive;       // value of the CD-drive setting (host path ending in /)
    QString cdRoot;        // host path of the CD folder
};

// The names the generator uses, in no particular order.
QStringList musicNames(int count);
QStringList movieNames(int count);
QStringList trickNames(int count);

// Content of a generated file: a recognisable header naming the file and where it came from
// ("cd" or "installed"), then filler that differs per file, to `size` bytes.
QByteArray content(const QString& origin, const QString& name, qint64 size);

// Builds the installation in root/game and the CD in root/cd. Installed files start equal to
// their CD files, as after a fresh installation. Returns false with a message on failure.
bool create(const QString& root, const Options& options, Layout* layout, QString* error);

// Writes the two settings files into a program directory.
bool writeSettings(const QString& programDir, const QString& gameDirectory, const QString& cdDrive,
                   QString* error);

// Writes the 19 slot files of the media editor's soundtrack catalogue with the stock captions,
// as its first start does, into the `data` folder of a program directory.
bool writeCatalogue(const QString& programDir, QString* error);

} // namespace demogen
