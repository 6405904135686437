#include "cli/commands.h"

#include "cli/doctor.h"
#include "cli/inventory.h"
#include "cli/locate.h"
#include "cli/packcommand.h"
#include "cli/report.h"
#include "installation/keptcopies.h"
#include "installation/logging.h"
#include "installation/paths.h"
#include "mediaed/mediacore.h"
#include "rtf/rtfwriter.h"
#include "tricked/trickcore.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

namespace cli {

namespace {

// A reason as a sentence of its own, whether or not it ends in a full stop.
QString sentence(const QString& text) {
    return text.endsWith(u'.') ? text : text + u'.';
}

QString swaps(qsizetype n) {
    return n == 1 ? QStringLiteral("1 swap") : QStringLiteral("%1 swaps").arg(n);
}

QString notReproduced(const TrickEntry& entry) {
    return QStringLiteral("trick %1 (%2) is %3 and is left out of the Trick Config")
        .arg(entry.position)
        .arg(entry.name, entry.state == TrickState::Missing
                             ? QStringLiteral("missing")
                             : QStringLiteral("changed (its bytes equal no CD trick's)"));
}

bool isDriveText(const QString& given) {
    return given.size() >= 2 && given[1] == u':' && given[0].isLetter();
}

// Windows' own separators on Windows, as its file dialogs show paths.
QString nativeOnWindows(const QString& path) {
#if defined(Q_OS_WIN)
    return QDir::toNativeSeparators(path);
#else
    return path;
#endif
}

// A folder named on the command line, as the directory dialog would store it: a full path, in
// drive-letter notation where a drive of the Wine prefix holds it.
QString folderSetting(const QString& given) {
    return nativeOnWindows(
        ovra::paths::settingFor(ovra::paths::HostPath(QFileInfo(given).absoluteFilePath()),
                                ovra::paths::wineDrives())
            .text());
}

} // namespace

std::optional<Inventory> inventory(const ovra::Installation& installation, Scope scope,
                                   Console& console) {
    const Taken taken = takeInventory(installation, scope, [&](int done, int total) {
        console.progress(QStringLiteral("Comparing files"), done, total);
    });
    console.endProgress();
    for (const QString& warning : taken.warnings)
        console.warning(warning);
    if (!taken.ok) {
        console.error(taken.error);
        return std::nullopt;
    }
    return taken.inventory;
}

QString shownPath(const QString& path) {
    return ovra::printable(QDir::toNativeSeparators(path));
}

QString gameSetting(const QString& given) {
    // A folder named relative to where ovra3 runs, there or not, is kept as a full path.
    if (given.isEmpty() || isDriveText(given))
        return nativeOnWindows(given);
    return folderSetting(given);
}

QString cdSetting(const QString& given) {
    const QFileInfo info(given);
    if (info.isFile())
        return info.absoluteFilePath();
    // A drive letter alone stands as it is; anything else names a folder, there or not, in
    // either notation ("D:\\copy" under Wine, "C:\\copy" on Windows), and the CD's literals
    // follow it after a separator.
    if (given.isEmpty() || (isDriveText(given) && given.size() == 2))
        return given;
    const QString folder = isDriveText(given) ? nativeOnWindows(given) : folderSetting(given);
    if (folder.endsWith(u'\\') || folder.endsWith(u'/'))
        return folder;
    return folder + (isDriveText(folder) ? u'\\' : u'/');
}

std::optional<ovra::Installation> openInstallation(const QString& programDir,
                                                   const ovra::Installation::Given& given,
                                                   QString* error, bool cdOptional) {
    ovra::Installation installation = ovra::Installation::open(programDir, given);
    if (installation.complete() || (cdOptional && installation.gameDirectory()))
        return installation;
    *error = installation.error();
    const bool noGame = !installation.gameDirectory();
    if (given.any() && !(noGame ? given.gameDirectory : given.cdDrive))
        *error = QStringLiteral("%1 was not given, and %2").arg(noGame ? "--game" : "--cd", *error);
    return std::nullopt;
}

namespace {

const QCommandLineOption& jsonOption() {
    static const QCommandLineOption json{
        QStringLiteral("json"),
        QStringLiteral("The result as one JSON document (shape: see the README).")};
    return json;
}

int status(const ovra::Installation& installation, const Args& args, Console& console) {
    const std::optional<Inventory> found = inventory(installation, Scope::Everything, console);
    if (!found)
        return kError;
    if (args.parser.isSet(jsonOption())) {
        console.out() << QString::fromUtf8(jsonReport(*found));
    } else {
        console.out() << "Game directory: " << ovra::printable(found->gameDirectory)
                      << "\nCD: " << ovra::printable(found->cdDrive) << "\n\n"
                      << textReport(*found, false);
    }
    return kSuccess;
}

int verify(const ovra::Installation& installation, const Args&, Console& console) {
    const std::optional<Inventory> found = inventory(installation, Scope::Everything, console);
    if (!found)
        return kError;
    console.out() << textReport(*found, true);
    return allStock(*found) ? kSuccess : kDiffers;
}

int exportConfig(const ovra::Installation& installation, const Args& args, Console& console) {
    const QString& file = args.argument;
    const std::optional<Inventory> found = inventory(installation, Scope::TricksOnly, console);
    if (!found)
        return kError;
    QList<TrickEntry> leftOut;
    const QString config = reproducingConfig(*found, &leftOut);
    const ovra::CopyResult saved = ovra::writeFileAtomically(file, rtf::write(config));
    if (!saved) {
        console.error(QStringLiteral("the Trick Config could not be saved to %1: %2")
                          .arg(shownPath(file), saved.reason));
        return kError;
    }
    for (const TrickEntry& entry : leftOut)
        console.warning(notReproduced(entry));
    const auto recorded =
        std::count_if(found->tricks.begin(), found->tricks.end(),
                      [](const TrickEntry& e) { return e.state == TrickState::Holds; });
    console.out()
        << QStringLiteral("Wrote %1: %2 recorded.\n").arg(shownPath(file), swaps(recorded));
    return leftOut.isEmpty() ? kSuccess : kDiffers;
}

const QCommandLineOption& dryRunOption() {
    static const QCommandLineOption dryRun{
        QStringLiteral("dry-run"), QStringLiteral("Tells what would be copied; writes nothing.")};
    return dryRun;
}

// apply --dry-run: the swaps a Trick Config would make, checked as Open checks it.
int applyDryRun(const tricked::TrickCore& tricks, const QString& file, Console& console) {
    const tricked::TrickCore::Checked checked = tricks.checkConfig(file);
    if (checked.outcome != tricked::TrickCore::Opened::Applied) {
        console.error(QStringLiteral("%1 %2: %3 Nothing would be changed.")
                          .arg(shownPath(file),
                               checked.outcome == tricked::TrickCore::Opened::Unreadable
                                   ? QStringLiteral("could not be read")
                                   : QStringLiteral("is not a Trick Config that can be used here"),
                               sentence(checked.error)));
        return kError;
    }
    const QStringList names = tricks.offered();
    for (const tricked::Swap& s : checked.swaps)
        console.out() << QStringLiteral("Would copy CD trick %1 (%2) over trick %3 (%4)\n")
                             .arg(s.with)
                             .arg(names[s.with])
                             .arg(s.replaced)
                             .arg(names[s.replaced]);
    console.out() << QStringLiteral("%1 would be made; nothing was written.\n")
                         .arg(swaps(checked.swaps.size()));
    return kSuccess;
}

int apply(const ovra::Installation& installation, const Args& args, Console& console) {
    const QString& file = args.argument;
    const LoadedCore<tricked::TrickCore> tricks = loadCore<tricked::TrickCore>(installation);
    if (!tricks.loaded.ok) {
        console.error(tricks.loaded.error);
        return kError;
    }
    if (args.parser.isSet(dryRunOption()))
        return applyDryRun(*tricks.core, file, console);
    int failures = 0;
    const tricked::TrickCore::Opened opened =
        tricks.core->openConfig(file, [&](const ovra::CopyResult& failed) {
            console.error(failed.error);
            ++failures;
        });
    switch (opened.outcome) {
    case tricked::TrickCore::Opened::Applied:
        break;
    case tricked::TrickCore::Opened::Unreadable:
        console.error(QStringLiteral("the Trick Config %1 could not be read: %2 No trick was "
                                     "changed.")
                          .arg(shownPath(file), sentence(opened.error)));
        return kError;
    case tricked::TrickCore::Opened::Refused:
        console.error(QStringLiteral("%1 is not a Trick Config that can be used here: %2 No "
                                     "trick was changed.")
                          .arg(shownPath(file), sentence(opened.error)));
        return kError;
    case tricked::TrickCore::Opened::Stopped:
        console.error(QStringLiteral("the swaps of %1 cannot be made: %2 No trick was changed.")
                          .arg(shownPath(file), sentence(opened.error)));
        return kError;
    }
    console.out() << QStringLiteral("Applied %1: %2 made").arg(shownPath(file), swaps(opened.swaps))
                  << (failures ? QStringLiteral(", %1 failed.\n").arg(failures)
                               : QStringLiteral(".\n"));
    return failures ? kDiffers : kSuccess;
}

enum class Restore { Tricks, Music, Movies, All };

// Nothing for a word that names no restore.
std::optional<Restore> restoreNamed(const QString& word) {
    const std::pair<const char*, Restore> names[] = {{"tricks", Restore::Tricks},
                                                     {"music", Restore::Music},
                                                     {"movies", Restore::Movies},
                                                     {"all", Restore::All}};
    for (const auto& [name, what] : names)
        if (word == QLatin1String(name))
            return what;
    return std::nullopt;
}

QString refusesRestore(const QString& word) {
    return restoreNamed(word) ? QString()
                              : QStringLiteral("restore what? \"%1\" is not tricks, music, "
                                               "movies or all")
                                    .arg(word);
}

// Its word has passed refusesRestore.
const QCommandLineOption& keptOption() {
    static const QCommandLineOption kept{
        QStringLiteral("kept"),
        QStringLiteral("From the kept copies of stock files instead of the CD (checked against "
                       "the CD when it is there).")};
    return kept;
}

// The stock files that the kept copies hold, put back without the CD.
int restoreKept(const ovra::Installation& installation, const QString& what, Console& console) {
    struct Kind {
        const char* word;
        const char* argument;
        ovra::paths::GamePath (*folder)(const QString&);
        const QString& literal;
    };
    const Kind kinds[] = {
        {"trick", "tricks", &ovra::paths::trickDirectory, ovra::paths::kCdTricks},
        {"music", "music", &ovra::paths::musicDirectory, ovra::paths::kCdMusic},
        {"movie", "movies", &ovra::paths::moviesDirectory, ovra::paths::kCdMovies}};
    const ovra::OneCommand one(QStringLiteral("restore %1 --kept").arg(what));
    bool missing = false;
    for (const Kind& kind : kinds) {
        if (what != QLatin1String("all") && what != QLatin1String(kind.argument))
            continue;
        const QString word = QLatin1String(kind.word);
        // With the CD there, its files say what stock is.
        std::unique_ptr<ovra::CdFolder> cd;
        if (installation.cd())
            if (ovra::Result<std::unique_ptr<ovra::CdFolder>> opened =
                    installation.cd()->open(kind.literal))
                cd = std::move(opened.value);
        ovra::Changes hashes{QString()};
        const auto cdHash = [&](const QString& name) -> std::optional<QByteArray> {
            const std::optional<QString> file = cd->hostFile(name);
            if (!file)
                return std::nullopt;
            const ovra::Result<QByteArray> hash = hashes.hashOf(*file);
            return hash ? std::optional<QByteArray>(hash.value) : std::nullopt;
        };
        const ovra::KeptRestore put = ovra::restoreFromKept(
            installation.installed(kind.folder).hostPath(), QString(),
            cd ? std::function<std::optional<QByteArray>(const QString&)>(cdHash) : nullptr);
        console.out() << QStringLiteral("Put back %1 %2 file%3 from kept copies.\n")
                             .arg(put.put.size())
                             .arg(word, put.put.size() == 1 ? "" : "s");
        for (const QString& file : put.missing)
            console.warning(
                QStringLiteral("no kept copy holds the stock bytes of %1").arg(shownPath(file)));
        if (!put.unknown.isEmpty())
            console.warning(QStringLiteral("%1 %2 files were never seen as stock and are left as "
                                           "they are")
                                .arg(put.unknown.size())
                                .arg(word));
        missing = missing || !put.missing.isEmpty();
    }
    return missing ? kDiffers : kSuccess;
}

// restore --dry-run: every file a restore would copy, and which of them differ from the CD now.
int restoreDryRun(const ovra::Installation& installation, Restore what, Console& console) {
    const std::optional<Inventory> found = inventory(installation, Scope::Everything, console);
    if (!found)
        return kError;
    const auto tell = [&](const char* kind, qsizetype total, const QStringList& differ) {
        for (const QString& line : differ)
            console.out() << QStringLiteral("Would put back %1\n").arg(line);
        console.out() << QStringLiteral("Would copy %1 %2 files from the CD, %3 of them not "
                                        "stock now.\n")
                             .arg(total)
                             .arg(QLatin1String(kind))
                             .arg(differ.size());
    };
    if (what == Restore::Tricks || what == Restore::All) {
        QStringList differ;
        for (const TrickEntry& e : found->tricks)
            if (e.state != TrickState::Stock)
                differ << QStringLiteral("trick %1 (%2)").arg(e.position).arg(e.name);
        tell("trick", found->tricks.size(), differ);
    }
    const std::pair<Restore, const QList<MediaEntry>*> sides[] = {
        {Restore::Music, &found->music}, {Restore::Movies, &found->movies}};
    for (const auto& [side, entries] : sides) {
        if (what != side && what != Restore::All)
            continue;
        QStringList differ;
        for (const MediaEntry& e : *entries)
            if (e.state != MediaState::Stock)
                differ << ovra::printable(e.name);
        tell(side == Restore::Music ? "music" : "movie", entries->size(), differ);
    }
    console.out() << "Nothing was written.\n";
    return kSuccess;
}

int restore(const ovra::Installation& installation, const Args& args, Console& console) {
    if (args.parser.isSet(keptOption()) && args.parser.isSet(dryRunOption())) {
        console.error(QStringLiteral("restore takes --kept or --dry-run, not both (see ovra3 "
                                     "restore --help)"));
        return kError;
    }
    if (args.parser.isSet(keptOption()))
        return restoreKept(installation, args.argument, console);
    if (args.parser.isSet(dryRunOption()))
        return restoreDryRun(installation, *restoreNamed(args.argument), console);
    const Restore what = *restoreNamed(args.argument);
    const bool tricks = what == Restore::Tricks || what == Restore::All;
    QList<mediaed::Side> sides;
    if (what == Restore::Music || what == Restore::All)
        sides << mediaed::Side::Music;
    if (what == Restore::Movies || what == Restore::All)
        sides << mediaed::Side::Movies;

    // Everything is loaded before the first copy: a wrong setting copies nothing.
    LoadedCore<tricked::TrickCore> trickCore;
    if (tricks) {
        trickCore = loadCore<tricked::TrickCore>(installation);
        if (!trickCore.loaded.ok) {
            console.error(trickCore.loaded.error);
            return kError;
        }
    }
    LoadedCore<mediaed::MediaCore> mediaCore;
    if (!sides.isEmpty()) {
        mediaCore = loadCore<mediaed::MediaCore>(installation);
        // A list shorter than the pick list offers ends the restore where it ends, as in the
        // media editor.
        for (const mediaed::Side side : sides)
            if (mediaCore.core->list(side).path().isEmpty()) {
                console.error(mediaCore.loaded.error);
                return kError;
            }
    }

    const ovra::OneCommand one(QStringLiteral("restore %1").arg(args.argument));
    bool failed = false;
    int copied = 0;
    const auto report = [&](const QString& kind, const ovra::RestoreResult& restored) {
        console.endProgress();
        copied += restored.restored;
        if (restored.ok) {
            console.out()
                << QStringLiteral("Restored %1 %2 files.\n").arg(restored.restored).arg(kind);
            return;
        }
        console.error(QStringLiteral("restoring the %1 files stopped after %2 files: %3")
                          .arg(kind)
                          .arg(restored.restored)
                          .arg(restored.error));
        failed = true;
    };
    if (tricks) {
        report(QStringLiteral("trick"), trickCore.core->restoreOriginals([&](int done, int total) {
            console.progress(QStringLiteral("Restoring tricks"), done, total);
        }));
    }
    for (const mediaed::Side side : sides) {
        const QString kind =
            side == mediaed::Side::Music ? QStringLiteral("music") : QStringLiteral("movie");
        report(kind, mediaCore.core->restore(side, [&](int done, int total) {
            console.progress(QStringLiteral("Restoring %1 files").arg(kind), done, total);
        }));
    }
    if (!failed)
        return kSuccess;
    return copied > 0 ? kDiffers : kError;
}

QString filesText(qsizetype n) {
    return n == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(n);
}

int history(const ovra::Installation&, const Args& args, Console& console) {
    const QString folder = ovra::keptFolder();
    ovra::Result<QList<ovra::RecordedCommand>> read = ovra::readJournal(folder);
    if (!read) {
        console.error(QStringLiteral("the history cannot be read: %1").arg(read.error));
        return kError;
    }
    QList<ovra::RecordedCommand>& journal = read.value;
    std::reverse(journal.begin(), journal.end());
    const qint64 size = ovra::keptSize(folder);
    if (args.parser.isSet(jsonOption())) {
        QJsonArray commands;
        for (const ovra::RecordedCommand& c : journal) {
            QJsonArray files;
            for (const ovra::FileChange& f : c.changes)
                files.append(QJsonObject{{"file", f.file},
                                         {"before", QString::fromLatin1(f.before)},
                                         {"after", QString::fromLatin1(f.after)}});
            commands.append(QJsonObject{{"time", c.time.toString(Qt::ISODateWithMs)},
                                        {"program", c.program},
                                        {"command", c.command},
                                        {"files", files}});
        }
        const QJsonObject document{
            {"store", QDir::toNativeSeparators(folder)}, {"size", size}, {"commands", commands}};
        console.out() << QString::fromUtf8(QJsonDocument(document).toJson());
        return kSuccess;
    }
    console.out() << QStringLiteral("Kept copies: %1 in %2\n")
                         .arg(QLocale::c().formattedDataSize(size, 1, QLocale::DataSizeIecFormat),
                              shownPath(folder));
    for (const ovra::RecordedCommand& c : journal)
        console.out() << QStringLiteral("  %1  %2  %3: %4\n")
                             .arg(c.time.toLocalTime().toString(
                                      QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                  ovra::printable(c.program), ovra::printable(c.command),
                                  filesText(c.changes.size()));
    if (journal.isEmpty())
        console.out() << "  No changes recorded.\n";
    return kSuccess;
}

QString refusesCount(const QString& argument) {
    bool number = false;
    const int n = argument.toInt(&number);
    return argument.isEmpty() || (number && n >= 1)
               ? QString()
               : QStringLiteral("undo takes a number of commands (1 or more), not \"%1\"")
                     .arg(ovra::printable(argument));
}

const QCommandLineOption& olderThanOption() {
    static const QCommandLineOption olderThan{
        QStringLiteral("older-than"),
        QStringLiteral("Forgets the commands older than DAYS days (0: all that can be)."),
        QStringLiteral("DAYS")};
    return olderThan;
}

int forget(const ovra::Installation&, const Args& args, Console& console) {
    bool number = false;
    const QString given = args.parser.value(olderThanOption());
    const int days = given.toInt(&number);
    if (!number || days < 0) {
        console.error(QStringLiteral("forget needs --older-than DAYS, a number of days (0 or "
                                     "more)%1 (see ovra3 forget --help)")
                          .arg(given.isEmpty()
                                   ? QString()
                                   : QStringLiteral(", not \"%1\"").arg(ovra::printable(given))));
        return kError;
    }
    const ovra::Result<ovra::Forgotten> done = ovra::forget(days);
    if (!done) {
        console.error(QStringLiteral("nothing was forgotten: %1").arg(done.error));
        return kError;
    }
    console.out() << QStringLiteral("Forgot %1 commands and %2 kept copies (%3).\n")
                         .arg(done.value.commands)
                         .arg(done.value.copies)
                         .arg(QLocale::c().formattedDataSize(done.value.bytes, 1,
                                                             QLocale::DataSizeIecFormat));
    if (done.value.protectedCommands)
        console.out() << QStringLiteral("Kept %1 older commands: they kept files that are not "
                                        "stock.\n")
                             .arg(done.value.protectedCommands);
    return kSuccess;
}

int undo(const ovra::Installation&, const Args& args, Console& console) {
    const int count = args.argument.isEmpty() ? 1 : args.argument.toInt();
    const ovra::Result<QStringList> put = ovra::undo(count);
    if (!put) {
        console.error(QStringLiteral("nothing was undone: %1").arg(put.error));
        return kError;
    }
    for (const QString& file : put.value)
        console.out() << QStringLiteral("Put back %1\n").arg(shownPath(file));
    console.out() << QStringLiteral("Undid %1: %2 put back.\n")
                         .arg(count == 1 ? QStringLiteral("1 command")
                                         : QStringLiteral("%1 commands").arg(count),
                              filesText(put.value.size()));
    return kSuccess;
}

} // namespace

std::span<const Command> commands() {
    static const Command table[] = {
        {.name = "status",
         .brief = "stock, swapped, changed or missing, file by file",
         .summary = "Tells for every trick position whether its installed file is stock, holds "
                    "another CD trick, is changed or missing, and for the music and movie files "
                    "of the two pick lists whether they are stock, replaced or missing.",
         .options = {jsonOption()},
         .run = status},
        {.name = "verify",
         .brief = "only what is not stock; exit status 1 when something is",
         .summary = "Lists what is not stock; exit status 0 when everything is, 1 when not.",
         .run = verify},
        {.name = "export",
         .brief = "a Trick Config that makes the installed swaps again",
         .summary = "Writes a Trick Config that makes the installation's trick swaps again. "
                    "Changed and missing trick files are listed and left out (exit status 1).",
         .argument = "FILE.tcg",
         .argumentHelp = "The Trick Config file to write.",
         .run = exportConfig},
        {.name = "apply",
         .brief = "a Trick Config, as Open and Restore Trick Config does",
         .summary = "Makes the swaps of a Trick Config, as Open and Restore Trick Config does: "
                    "the whole file is checked first.",
         .argument = "FILE.tcg",
         .argumentHelp = "The Trick Config file to apply.",
         .options = {dryRunOption()},
         .run = apply},
        {.name = "restore",
         .brief = "the stock tricks, music, movies or all from the CD",
         .summary = "Copies the stock files back from the CD.",
         .argument = "WHAT",
         .argumentHelp = "tricks, music, movies or all.",
         .withoutCd = "kept",
         .options = {keptOption(), dryRunOption()},
         .refuses = refusesRestore,
         .run = restore},
        {.name = "history",
         .brief = "the changes made to the installed files, newest first",
         .summary = "Lists the commands of both programs and of ovra3 that replaced installed "
                    "files, newest first, and the size of the kept copies of what they replaced.",
         .needsInstallation = false,
         .options = {jsonOption()},
         .run = history},
        {.name = "undo",
         .brief = "puts back what the last N commands replaced (default 1)",
         .summary = "Puts back the files the last N commands replaced, from the kept copies. "
                    "Nothing is written when a kept copy is missing or damaged, or an installed "
                    "file changed since.",
         .argument = "[N]",
         .argumentHelp = "How many commands to undo (default 1).",
         .argumentOptional = true,
         .needsInstallation = false,
         .refuses = refusesCount,
         .run = undo},
        {.name = "forget",
         .brief = "forgets changes older than DAYS and the kept copies only they need",
         .summary = "Takes the commands older than DAYS days out of the history and removes the "
                    "kept copies that only they need. Copies of files that are not stock stay, "
                    "and so do the commands that kept them.",
         .needsInstallation = false,
         .options = {olderThanOption()},
         .run = forget},
        {.name = "doctor",
         .brief = "what the programs check at start-up, and how to mend what fails",
         .summary = "Checks what the two programs check when they start (the two settings, the "
                    "game's folders and their files, the CD and its tricks, the soundtrack's "
                    "slot files) and tells, per check, what it found and how to mend a fault. "
                    "Exit status 1 when something is wrong.",
         .takesIncomplete = true,
         .run = doctor},
        {.name = "locate",
         .brief = "finds the game installations and game CDs on this computer",
         .summary = "Looks for the game in the usual Wine prefixes (WINEPREFIX, ~/.wine, "
                    "~/.local/share/wineprefixes, ~/Games, Lutris, Bottles, PlayOnLinux, Heroic, "
                    "every Steam library's Proton prefixes) and install folders, and for the CD "
                    "among mounted volumes and the disc images and copied CDs in the home "
                    "folder's first two levels and Downloads. Exit status 1 when no game or no "
                    "CD was found.",
         .needsInstallation = false,
         .options = {jsonOption()},
         .run = locateCommand},
        {.name = "setup",
         .brief = "stores the game directory and CD drive as the programs' dialog does",
         .summary = "Stores the two settings as the Directory and Drive Info dialog's OK does: "
                    "--game and --cd take a folder (or, for the CD, an .iso image), or the "
                    "number of one that ovra3 locate lists; without them, what is found is "
                    "taken when there is one, and asked for on a terminal when there are more "
                    "(elsewhere exit status 2).",
         .needsInstallation = false,
         .run = setupCommand},
        {.name = "pack",
         .brief = "writes, shows or applies a setup pack (.o3pack)",
         .summary = "create: writes the installation's setup into a setup pack: the trick swaps "
                    "as a Trick Config, the music files that differ from the CD with the "
                    "soundtrack's captions, the movies that differ from the CD (all three unless "
                    "some are named). show: tells what a pack would change here. apply: checks "
                    "the whole pack, then makes its changes as one command that undo takes "
                    "back.",
         .argument = "ACTION",
         .argumentHelp = "create, show or apply.",
         .second = "FILE.o3pack",
         .secondHelp = "The setup pack.",
         .options = packOptions(),
         .refuses = refusesPackAction,
         .run = pack},
    };
    return table;
}

} // namespace cli
