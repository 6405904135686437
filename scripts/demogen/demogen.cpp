#include "scripts/demogen/demogen.h"

#include "mediaed/catalogue.h"
#include "mediaed/stocktable.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace demogen {

QStringList musicNames(int count) {
    QStringList names;
    for (const auto& row : mediaed::stockTable())
        names << row.fileName;
    // The game also ships music that has no soundtrack slot (menus, credits).
    static const char* extra[] = {"menu", "credits", "intro", "outro", "loading", "replay"};
    for (int i = 0; names.size() < count; ++i) {
        const int n = int(std::size(extra));
        names << (i < n ? QString::fromLatin1(extra[i]) : QStringLiteral("extra%1").arg(i)) +
                     QStringLiteral(".mus");
    }
    return names.mid(0, count);
}

QStringList movieNames(int count) {
    static const char* base[] = {"intro",  "credits", "logo",     "attract", "park",   "warehouse",
                                 "school", "mall",    "downhill", "roof",    "pier",   "canal",
                                 "ruins",  "bowl",    "bonus",    "ending",  "secret", "tutorial"};
    QStringList names;
    const int n = int(std::size(base));
    for (int i = 0; names.size() < count; ++i)
        names << (i < n ? QString::fromLatin1(base[i]) : QStringLiteral("level%1").arg(i - n + 1)) +
                     QStringLiteral(".mpg");
    return names;
}

QStringList trickNames(int count) {
    static const char* stance[] = {"", "fs_", "bs_", "fakie_", "nollie_", "switch_"};
    static const char* trick[] = {
        "ollie",      "kickflip",   "heelflip",   "varial",     "hardflip",    "treflip",
        "impossible", "shuvit",     "pop_shove",  "boardslide", "lipslide",    "noseslide",
        "tailslide",  "smith",      "feeble",     "crooked",    "nosegrind",   "50-50",
        "5-0",        "bluntslide", "salad",      "suski",      "manual",      "nose_manual",
        "airwalk",    "benihana",   "madonna",    "method",     "indy",        "melon",
        "stalefish",  "mctwist",    "540",        "360flip",    "darkslide",   "casper",
        "primo",      "rail_stand", "handplant",  "invert",     "rock'n'roll", "disaster",
        "axle_stall", "nose_stall", "tail_stall", "no_comply",  "wallride",    "bonelessa"};
    static const char* ending[] = {"", "_late", "_2"};
    QStringList names;
    for (const char* e : ending)
        for (const char* t : trick)
            for (const char* s : stance) {
                if (names.size() >= count)
                    return names;
                names << QString::fromLatin1(s) + QString::fromLatin1(t) + QString::fromLatin1(e) +
                             QStringLiteral(".ska");
            }
    for (int i = 0; names.size() < count; ++i)
        names << QStringLiteral("trick%1.ska").arg(i);
    return names;
}

QByteArray content(const QString& origin, const QString& name, qint64 size) {
    QByteArray data = QStringLiteral("OVRA3 DEMO %1 %2\n").arg(origin, name).toUtf8();
    // Filler from a tiny generator seeded by the header, so every file differs throughout.
    quint32 state = 2166136261u;
    for (char c : data)
        state = (state ^ quint8(c)) * 16777619u;
    data.reserve(size);
    while (data.size() < size) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        data.append(char('a' + state % 26));
    }
    data.truncate(size);
    return data;
}

static bool writeFile(const QString& path, const QByteArray& bytes, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

static bool fill(const QString& dir, const QStringList& names, const QString& origin, qint64 size,
                 QString* error) {
    if (!QDir().mkpath(dir)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(dir);
        return false;
    }
    for (const QString& name : names)
        if (!writeFile(dir + u'/' + name, content(origin, name, size), error))
            return false;
    return true;
}

bool create(const QString& root, const Options& o, Layout* layout, QString* error) {
    const QString game = QDir(root).absoluteFilePath(QStringLiteral("game"));
    const QString cd = QDir(root).absoluteFilePath(QStringLiteral("cd"));
    const qint64 mus = o.musicSize >= 0 ? o.musicSize : o.fileSize;
    const qint64 mpg = o.movieSize >= 0 ? o.movieSize : o.fileSize;
    const qint64 ska = o.trickSize >= 0 ? o.trickSize : o.fileSize;
    const int installedTricks = o.installedTricks >= 0 ? o.installedTricks : o.trickFiles;
    const int cdMusic = o.cdMusicFiles >= 0 ? o.cdMusicFiles : o.musicFiles;
    const int cdMovies = o.cdMovieFiles >= 0 ? o.cdMovieFiles : o.movieFiles;

    // Installed files start as the stock CD files: the same bytes.
    if (!fill(game + "/data/music", musicNames(o.musicFiles), "cd", mus, error) ||
        !fill(game + "/data/movies", movieNames(o.movieFiles), "cd", mpg, error) ||
        !fill(game + "/data/anims/skater_M", trickNames(installedTricks), "cd", ska, error))
        return false;
    if (o.withCd) {
        if (!fill(cd + "/setup/data/data/music", musicNames(cdMusic), "cd", mus, error) ||
            !fill(cd + "/setup/data/data/movies", movieNames(cdMovies), "cd", mpg, error) ||
            !fill(cd + "/setup/data/data/anims/skater_m", trickNames(o.trickFiles), "cd", ska,
                  error))
            return false;
    }
    if (layout) {
        layout->root = QDir(root).absolutePath();
        layout->gameDirectory = game;
        layout->cdRoot = cd;
        layout->cdDrive = cd + u'/';
    }
    return true;
}

bool writeSettings(const QString& programDir, const QString& gameDirectory, const QString& cdDrive,
                   QString* error) {
    return writeFile(programDir + "/directorydata.dat", gameDirectory.toLocal8Bit(), error) &&
           writeFile(programDir + "/drivedata.dat", cdDrive.toLocal8Bit(), error);
}

bool writeCatalogue(const QString& programDir, QString* error) {
    mediaed::Catalogue catalogue(programDir);
    catalogue.resetToStock();
    const mediaed::Catalogue::SaveResult saved = catalogue.save();
    if (!saved.ok && error)
        *error = QStringLiteral("cannot write the soundtrack list into %1: %2")
                     .arg(saved.folder, saved.reason);
    return saved.ok;
}

} // namespace demogen
