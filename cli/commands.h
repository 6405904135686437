#pragma once

#include "console.h"
#include "inventory.h"

#include <QString>

// The subcommands of ovra3, each returning its exit status. main() only parses and dispatches.
namespace cli {

enum ExitCode {
    kSuccess = 0,
    kDiffers = 1, // verify: something is not stock; export: tricks left out; apply, restore: a
                  // swap or a copy failed
    kError = 2,   // nothing done: no settings, no CD, unreadable file, bad arguments
};

// The values of --game and --cd as the directory dialog would store them: a folder as a full
// path, in drive-letter notation inside a drive of the Wine prefix (a CD folder followed by the
// separator that the CD's literals follow), a disc image as its full path; a drive letter and an
// empty value as they stand.
QString gameSetting(const QString& given);
QString cdSetting(const QString& given);

// The installation of the program folder with the values given on the command line, or why it
// cannot be used; a setting that was not given and is missing is named with the option that
// would have stood in for it.
std::optional<ovra::Installation>
openInstallation(const QString& programDir, const ovra::Installation::Given& given, QString* error);

int status(const ovra::Installation& installation, bool json, Console& console);
int verify(const ovra::Installation& installation, Console& console);
int exportConfig(const ovra::Installation& installation, const QString& file, Console& console);
int apply(const ovra::Installation& installation, const QString& file, Console& console);

enum class Restore { Tricks, Music, Movies, All };
// Nothing for a word that names no restore.
std::optional<Restore> restoreNamed(const QString& word);
int restore(const ovra::Installation& installation, Restore what, Console& console);

} // namespace cli
