#include "cli/locate.h"

#include "discimage/discimage.h"
#include "installation/filelist.h"
#include "installation/folders.h"
#include "installation/logging.h"
#include "installation/paths.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QStorageInfo>
#include <QTextStream>

#include <cstdio>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#endif

namespace cli {

namespace {

// The launchers' own files are small; a larger one is not theirs.
constexpr qint64 kConfigLimit = 1 << 20;
// Below a Wine prefix's drive_c: Program Files (x86)\Maker\Game\ is three folders deep.
constexpr int kPrefixDepth = 4;

const QStringList kTrickLayout{QStringLiteral("data"), QStringLiteral("anims"),
                               QStringLiteral("skater_M")};
const QStringList kMusicLayout{QStringLiteral("data"), QStringLiteral("music")};
const QStringList kCdLayout{QStringLiteral("setup"), QStringLiteral("data"), QStringLiteral("data"),
                            QStringLiteral("anims"), QStringLiteral("skater_m")};

// The entry of `folder` named `name` without regard to letter case, the exact spelling first.
QString childOf(const QString& folder, const QString& name) {
    const QDir dir(folder);
    if (dir.exists(name))
        return dir.filePath(name);
    const QStringList entries =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return {};
}

QString descend(QString folder, const QStringList& names) {
    for (const QString& name : names) {
        folder = childOf(folder, name);
        if (folder.isEmpty())
            return {};
    }
    return folder;
}

bool holdsFile(const QString& folder, const QString& pattern) {
    if (folder.isEmpty())
        return false;
    QDirIterator files(folder, {pattern}, QDir::Files | QDir::Hidden);
    return files.hasNext();
}

// The CD whose drive setting is `value`: its trick folder lists at least one animation.
bool isCd(const QString& value) {
    ovra::FileList tricks(QStringLiteral("*.ska"));
    return ovra::CdSource(value).list(ovra::paths::kCdTricks, tricks).ok && tricks.count() > 0;
}

QString readSmallFile(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() > kConfigLimit ||
        !file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString expandHome(QString path, const QString& home) {
    path = path.trimmed();
    if (path.size() >= 2 && (path.front() == u'"' || path.front() == u'\'') &&
        path.back() == path.front())
        path = path.mid(1, path.size() - 2);
    if (path == u'~' || path.startsWith(QStringLiteral("~/")))
        path = home + path.mid(1);
    return path;
}

void collectWinePrefixes(const QJsonValue& value, QStringList& into) {
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (it.key() == QLatin1String("winePrefix") && it.value().isString())
                into.push_back(it.value().toString());
            else
                collectWinePrefixes(it.value(), into);
        }
    } else if (value.isArray()) {
        for (const QJsonValue& item : value.toArray())
            collectWinePrefixes(item, into);
    }
}

class Search {
public:
    Search(const LocateRoots& roots, int timeLimitMs) : roots_(roots), deadline_(timeLimitMs) {}

    Located run() {
        const QString& home = roots_.home;
        if (!roots_.winePrefix.isEmpty())
            prefix(roots_.winePrefix, QStringLiteral("in the Wine prefix of $WINEPREFIX"));
        prefix(home + QStringLiteral("/.wine"), QStringLiteral("in the Wine prefix ~/.wine"));
        prefixesIn(home + QStringLiteral("/.local/share/wineprefixes"),
                   QStringLiteral("in the Wine prefix ~/.local/share/wineprefixes"));
        lutris();
        gamesFolder();
        prefixesIn(home + QStringLiteral("/.var/app/com.usebottles.bottles/data/bottles/bottles"),
                   QStringLiteral("in the Bottles (Flatpak) bottle"));
        prefixesIn(home + QStringLiteral("/.local/share/bottles/bottles"),
                   QStringLiteral("in the Bottles bottle"));
        prefixesIn(home + QStringLiteral("/.PlayOnLinux/wineprefix"),
                   QStringLiteral("in the PlayOnLinux prefix"));
        heroic();
        for (const QString& steam :
             {QStringLiteral("/.steam/steam"), QStringLiteral("/.local/share/Steam"),
              QStringLiteral("/.var/app/com.valvesoftware.Steam/.local/share/Steam")})
            steamLibraries(home + steam);
        for (const QString& folder : roots_.installFolders) {
            gamesIn(folder, 2, QStringLiteral("in %1").arg(shownPath(folder)));
            steamLibraries(folder + QStringLiteral("/Steam"));
        }

        for (const QString& mount : roots_.mounts)
            if (!descend(mount, kCdLayout).isEmpty())
                addCd(mount, QStringLiteral("a mounted volume"));
        const QString downloads = childOf(home, QStringLiteral("Downloads"));
        if (!downloads.isEmpty())
            cdsIn(downloads, 2, QStringLiteral("in %1").arg(shownPath(downloads)));
        cdsIn(home, 2, QStringLiteral("in your home folder"));
        return found_;
    }

private:
    bool expired() {
        if (!found_.stopped && deadline_.hasExpired())
            found_.stopped = true;
        return found_.stopped;
    }

    // The folders of `folder` a walk of `place` may enter: its own, and links that lead to a
    // folder inside the place not entered yet.
    QStringList subfolders(const QString& folder, const QString& place) {
        QStringList into;
        const QFileInfoList entries =
            QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& entry : entries) {
            const QString canonical = entry.canonicalFilePath();
            if (canonical.isEmpty() || !ovra::paths::isWithin(canonical, place) ||
                walked_.contains(canonical))
                continue;
            into.push_back(entry.filePath());
        }
        return into;
    }

    void addGame(const QString& folder, const QString& how) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (!seenGames_.contains(canonical)) {
            seenGames_.insert(canonical);
            found_.games.push_back({QDir::cleanPath(folder), how});
        }
    }

    void addCd(const QString& path, const QString& how) {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (seenCds_.contains(canonical))
            return;
        const bool image = QFileInfo(path).isFile();
        if (!isCd(image ? path : path + QLatin1Char('/')))
            return;
        seenCds_.insert(canonical);
        found_.cds.push_back({QDir::cleanPath(path), how});
    }

    // A walk of `folder` for game folders, `depth` folders down at most, inside `place`.
    void gamesIn(const QString& folder, int depth, const QString& how, QString place = {}) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (canonical.isEmpty() || !QFileInfo(canonical).isDir() || expired() ||
            walked_.contains(canonical))
            return;
        if (place.isEmpty())
            place = canonical;
        walked_.insert(canonical);
        if (isGameFolder(folder)) {
            addGame(folder, how);
            return;
        }
        if (depth == 0)
            return;
        for (const QString& sub : subfolders(folder, place))
            gamesIn(sub, depth - 1, how, place);
    }

    void prefix(const QString& folder, const QString& how) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (canonical.isEmpty() || prefixes_.contains(canonical))
            return;
        prefixes_.insert(canonical);
        const QString driveC = childOf(folder, QStringLiteral("drive_c"));
        if (driveC.isEmpty() || expired())
            return;
        const QString place = QFileInfo(driveC).canonicalFilePath();
        walked_.insert(place);
        for (const QString& sub : subfolders(driveC, place)) {
            // Wine's own system folder holds thousands of folders and never the game.
            if (QFileInfo(sub).fileName().compare(QLatin1String("windows"), Qt::CaseInsensitive))
                gamesIn(sub, kPrefixDepth - 1, how, place);
        }
    }

    void prefixesIn(const QString& folder, const QString& how) {
        const QFileInfoList entries =
            QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& entry : entries)
            prefix(entry.filePath(), QStringLiteral("%1, %2").arg(how, entry.fileName()));
    }

    // Lutris keeps one file per game; its "prefix:" names the game's Wine prefix.
    void lutris() {
        static const QRegularExpression prefixLine(QStringLiteral("^\\s*prefix:\\s*(.+)$"),
                                                   QRegularExpression::MultilineOption);
        for (const QString& games : {QStringLiteral("/.config/lutris/games"),
                                     QStringLiteral("/.local/share/lutris/games")}) {
            const QFileInfoList files =
                QDir(roots_.home + games)
                    .entryInfoList({QStringLiteral("*.yml")}, QDir::Files, QDir::Name);
            for (const QFileInfo& file : files) {
                auto match = prefixLine.globalMatch(readSmallFile(file.filePath()));
                while (match.hasNext())
                    prefix(expandHome(match.next().captured(1), roots_.home),
                           QStringLiteral("in the prefix of the Lutris game %1")
                               .arg(file.completeBaseName()));
            }
        }
    }

    // ~/Games: where Lutris installs, a prefix or a game per folder; Heroic keeps its prefixes
    // further down.
    void gamesFolder() {
        const QString games = childOf(roots_.home, QStringLiteral("Games"));
        if (games.isEmpty())
            return;
        const QString heroic =
            descend(games, {QStringLiteral("Heroic"), QStringLiteral("Prefixes")});
        if (!heroic.isEmpty()) {
            prefixesIn(heroic, QStringLiteral("in a Heroic prefix"));
            prefixesIn(heroic + QStringLiteral("/default"), QStringLiteral("in a Heroic prefix"));
        }
        const QFileInfoList entries =
            QDir(games).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& entry : entries) {
            const QString how = QStringLiteral("~/Games/%1").arg(entry.fileName());
            if (!childOf(entry.filePath(), QStringLiteral("drive_c")).isEmpty())
                prefix(entry.filePath(), QStringLiteral("in the Wine prefix ") + how);
            else if (entry.canonicalFilePath().startsWith(QFileInfo(games).canonicalFilePath()))
                gamesIn(entry.filePath(), 2, QStringLiteral("in ") + how);
        }
    }

    void heroic() {
        for (const QString& config :
             {QStringLiteral("/.config/heroic/GamesConfig"),
              QStringLiteral("/.var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig")}) {
            const QFileInfoList files =
                QDir(roots_.home + config)
                    .entryInfoList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
            for (const QFileInfo& file : files) {
                QStringList prefixes;
                collectWinePrefixes(
                    QJsonDocument::fromJson(readSmallFile(file.filePath()).toUtf8()).object(),
                    prefixes);
                for (const QString& found : prefixes)
                    prefix(expandHome(found, roots_.home), QStringLiteral("in a Heroic prefix"));
            }
        }
    }

    // Every library that Steam's libraryfolders.vdf names: Proton's prefixes and the games.
    void steamLibraries(const QString& steam) {
        static const QRegularExpression pathEntry(
            QStringLiteral("\"path\"\\s+\"((?:[^\"\\\\]|\\\\.)*)\""),
            QRegularExpression::CaseInsensitiveOption);
        const QString apps = childOf(steam, QStringLiteral("steamapps"));
        if (apps.isEmpty())
            return;
        QStringList libraries{steam};
        auto match =
            pathEntry.globalMatch(readSmallFile(apps + QStringLiteral("/libraryfolders.vdf")));
        while (match.hasNext())
            libraries.push_back(
                match.next().captured(1).replace(QStringLiteral("\\\\"), QStringLiteral("\\")));
        for (const QString& library : libraries) {
            const QString libraryApps = childOf(library, QStringLiteral("steamapps"));
            if (libraryApps.isEmpty() || expired())
                continue;
            const QString shown = shownPath(library);
            const QFileInfoList ids =
                QDir(libraryApps + QStringLiteral("/compatdata"))
                    .entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
            for (const QFileInfo& id : ids)
                prefix(id.filePath() + QStringLiteral("/pfx"),
                       QStringLiteral("in the Proton prefix %1 of the Steam library %2")
                           .arg(id.fileName(), shown));
            gamesIn(libraryApps + QStringLiteral("/common"), 1,
                    QStringLiteral("in the Steam library %1").arg(shown));
        }
    }

    // Disc images and copied CDs in `folder`, `depth` levels down, hidden folders left out.
    void cdsIn(const QString& folder, int depth, const QString& how, QString place = {}) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (canonical.isEmpty() || expired() || cdWalked_.contains(canonical))
            return;
        if (place.isEmpty())
            place = canonical;
        cdWalked_.insert(canonical);
        const QFileInfoList images = QDir(folder).entryInfoList(
            {QStringLiteral("*.iso")}, QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& image : images)
            if (ovra::paths::isWithin(image.canonicalFilePath(), place) &&
                discimage::isImage(image.filePath()))
                addCd(image.filePath(), QStringLiteral("a disc image %1").arg(how));
        if (!descend(folder, kCdLayout).isEmpty()) {
            addCd(folder, QStringLiteral("a copied CD %1").arg(how));
            return;
        }
        if (depth == 0)
            return;
        const QFileInfoList entries =
            QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& entry : entries)
            if (ovra::paths::isWithin(entry.canonicalFilePath(), place))
                cdsIn(entry.filePath(), depth - 1, how, place);
    }

    const LocateRoots& roots_;
    QDeadlineTimer deadline_;
    Located found_;
    QSet<QString> walked_, prefixes_, cdWalked_, seenGames_, seenCds_;
};

bool stdinIsTerminal() {
#if defined(Q_OS_UNIX)
    return ::isatty(STDIN_FILENO) == 1;
#elif defined(Q_OS_WIN)
    return _isatty(_fileno(stdin)) != 0;
#else
    return false;
#endif
}

// The game directory as the dialog stores the folder its list shows: looked up on the host
// first, so that a drive letter, a link or another letter case comes out as the dialog writes it.
QString directorySetting(const QString& given) {
    const QString value = gameSetting(given);
    const QString host = ovra::paths::hostPath(ovra::paths::GamePath(value));
    return host.isEmpty() || !QFileInfo(host).isDir() ? value : gameSetting(host);
}

// The CD drive as the dialog's drive list stores a drive: "D:\\", never "d:" alone.
QString driveSetting(const QString& given) {
    const QString value = cdSetting(given);
    if (value.size() == 2 && value[1] == u':' && value[0].isLetter())
        return value.toUpper() + u'\\';
    return value;
}

void listCandidates(QTextStream& out, const char* title, const QList<Candidate>& candidates) {
    out << title << ":\n";
    if (candidates.isEmpty())
        out << "  none found\n";
    for (qsizetype i = 0; i < candidates.size(); ++i)
        out << "  " << i + 1 << ". " << shownPath(candidates[i].path) << "\n     "
            << ovra::printable(candidates[i].how) << '\n';
}

QJsonArray asJson(const QList<Candidate>& candidates, QString (*setting)(const QString&)) {
    QJsonArray array;
    for (const Candidate& candidate : candidates)
        array.append(QJsonObject{{QStringLiteral("path"), QDir::toNativeSeparators(candidate.path)},
                                 {QStringLiteral("setting"), setting(candidate.path)},
                                 {QStringLiteral("found"), candidate.how}});
    return array;
}

void warnIfStopped(const Located& found, Console& console) {
    if (found.stopped)
        console.warning(QStringLiteral("the search ran out of time; what it found until then is "
                                       "listed, and anything else can be given with --game and "
                                       "--cd"));
}

// One of the two settings for setup: a folder (or image) given, a number of the list, or the
// one found; asks on a terminal when more than one was found.
std::optional<QString> choose(const QString& option, const QString& given, bool isSet,
                              const QList<Candidate>& candidates, const char* what,
                              QString (*setting)(const QString&), Console& console) {
    bool number = false;
    const int n = given.toInt(&number);
    if (isSet && !number) {
        // Looked up as the programs will look it up: a drive letter through the Wine prefix.
        const QString value = setting(given);
        const QString host = ovra::paths::hostPath(ovra::paths::GamePath(value));
        if (host.isEmpty() || !QFileInfo::exists(host)) {
            console.error(QStringLiteral("%1: %2 does not exist").arg(option, shownPath(given)));
            return std::nullopt;
        }
        return value;
    }
    if (isSet) {
        if (n < 1 || n > candidates.size()) {
            console.error(QStringLiteral("%1 %2: there is no %3 %2; ovra3 locate lists %4")
                              .arg(option)
                              .arg(n)
                              .arg(QLatin1String(what))
                              .arg(candidates.size()));
            return std::nullopt;
        }
        return setting(candidates[n - 1].path);
    }
    if (candidates.isEmpty()) {
        console.error(QStringLiteral("no %1 was found; give its folder with %2 DIR")
                          .arg(QLatin1String(what), option));
        return std::nullopt;
    }
    if (candidates.size() == 1)
        return setting(candidates.front().path);
    if (!stdinIsTerminal()) {
        console.error(QStringLiteral("more than one %1 was found (listed above); choose one with "
                                     "%2 N")
                          .arg(QLatin1String(what), option));
        return std::nullopt;
    }
    console.out() << "Which " << what << "? [1-" << candidates.size() << "] " << Qt::flush;
    QTextStream in(stdin);
    const int picked = in.readLine().trimmed().toInt(&number);
    if (!number || picked < 1 || picked > candidates.size()) {
        console.error(
            QStringLiteral("no %1 was chosen; nothing is stored").arg(QLatin1String(what)));
        return std::nullopt;
    }
    return setting(candidates[picked - 1].path);
}

} // namespace

LocateRoots LocateRoots::ofThisSystem() {
    LocateRoots roots;
    roots.home = QDir::homePath();
    roots.winePrefix = qEnvironmentVariable("WINEPREFIX");
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            roots.mounts.push_back(volume.rootPath());
#if defined(Q_OS_WIN)
    for (const char* variable : {"ProgramFiles", "ProgramFiles(x86)"})
        if (const QString folder = qEnvironmentVariable(variable); !folder.isEmpty())
            roots.installFolders.push_back(QDir::fromNativeSeparators(folder));
    roots.installFolders.push_back(QDir::fromNativeSeparators(
        qEnvironmentVariable("SystemDrive", QStringLiteral("C:")) + QStringLiteral("/Games")));
    roots.installFolders.removeDuplicates();
#endif
    return roots;
}

bool isGameFolder(const QString& folder) {
    return holdsFile(descend(folder, kTrickLayout), QStringLiteral("*.ska")) &&
           holdsFile(descend(folder, kMusicLayout), QStringLiteral("*.mus"));
}

Located locate(const LocateRoots& roots, int timeLimitMs) {
    return Search(roots, timeLimitMs).run();
}

int locateCommand(const ovra::Installation&, const Args& args, Console& console) {
    const Located found = locate(LocateRoots::ofThisSystem());
    warnIfStopped(found, console);
    if (args.parser.isSet(QStringLiteral("json"))) {
        const QJsonObject json{{QStringLiteral("games"), asJson(found.games, directorySetting)},
                               {QStringLiteral("cds"), asJson(found.cds, driveSetting)},
                               {QStringLiteral("complete"), !found.stopped}};
        console.out() << QString::fromUtf8(QJsonDocument(json).toJson());
    } else {
        listCandidates(console.out(), "Game installations", found.games);
        listCandidates(console.out(), "Game CDs", found.cds);
    }
    return found.games.isEmpty() || found.cds.isEmpty() ? kDiffers : kSuccess;
}

int setupCommand(const ovra::Installation&, const Args& args, Console& console) {
    const QCommandLineParser& parser = args.parser;
    const bool gameSet = parser.isSet(QStringLiteral("game"));
    const bool cdSet = parser.isSet(QStringLiteral("cd"));
    const QString game = parser.value(QStringLiteral("game"));
    const QString cd = parser.value(QStringLiteral("cd"));
    const auto isNumber = [](const QString& text) {
        bool number = false;
        text.toInt(&number);
        return number;
    };
    const bool searches = !gameSet || !cdSet || isNumber(game) || isNumber(cd);
    Located found;
    if (searches) {
        found = locate(LocateRoots::ofThisSystem());
        warnIfStopped(found, console);
        listCandidates(console.out(), "Game installations", found.games);
        listCandidates(console.out(), "Game CDs", found.cds);
        console.out() << Qt::flush;
    }
    const std::optional<QString> gameValue =
        choose(QStringLiteral("--game"), game, gameSet, found.games, "game installation",
               directorySetting, console);
    if (!gameValue)
        return kError;
    if (const QString host = ovra::paths::hostPath(ovra::paths::GamePath(*gameValue));
        !isGameFolder(host))
        console.warning(QStringLiteral("%1 does not hold the game's data\\anims\\skater_M and "
                                       "data\\music folders; it is stored as given")
                            .arg(shownPath(host)));
    const std::optional<QString> cdValue =
        choose(QStringLiteral("--cd"), cd, cdSet, found.cds, "game CD", driveSetting, console);
    if (!cdValue)
        return kError;
    if (!isCd(*cdValue))
        console.warning(QStringLiteral("%1 holds no tricks in setup\\data\\data\\anims\\skater_m; "
                                       "it is stored as given")
                            .arg(ovra::CdSource(*cdValue).shown({})));

    const ovra::ProgramFolder folder(QCoreApplication::applicationDirPath());
    const ovra::StoreResult stored = ovra::storeSettings(folder, *gameValue, *cdValue);
    if (!stored.ok) {
        console.error(
            QStringLiteral("the settings could not be stored%1: %2")
                .arg(stored.unchanged ? QStringLiteral(" (those before are unchanged)") : QString(),
                     stored.error));
        return kError;
    }
    console.out() << "Stored in " << shownPath(folder.own())
                  << ":\n  game directory: " << ovra::printable(*gameValue)
                  << "\n  CD: " << ovra::printable(*cdValue) << '\n';
    return kSuccess;
}

} // namespace cli
