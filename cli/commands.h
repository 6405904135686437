#pragma once

#include "cli/console.h"
#include "cli/inventory.h"
#include "installation/installation.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <optional>
#include <span>

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

// A host path as ovra3 prints it for a person: the host's separators, no control character.
QString shownPath(const QString& path);

// The installation of the program folder with the values given on the command line, or why it
// cannot be used; a setting that was not given and is missing is named with the option that
// would have stood in for it.
// With `cdOptional`, an installation whose game directory was loaded does.
std::optional<ovra::Installation> openInstallation(const QString& programDir,
                                                   const ovra::Installation::Given& given,
                                                   QString* error, bool cdOptional = false);

// The inventory, with its progress line and warnings; nothing after an error already reported.
std::optional<Inventory> inventory(const ovra::Installation& installation, Scope scope,
                                   Console& console);

// What the command line gave one command, checked against its entry in the table.
struct Args {
    QString argument;                 // its first argument; empty when it takes none
    const QCommandLineParser& parser; // where its own options are looked up
    QString second = {};              // its second argument, when it takes two
};

// One command: what its help says, what it takes, and the function that runs it on the opened
// installation and returns its exit status.
struct Command {
    const char* name = nullptr;
    const char* brief = nullptr;    // in the list of commands
    const char* summary = nullptr;  // at the top of its own help
    const char* argument = nullptr; // its one argument, or none
    const char* argumentHelp = nullptr;
    const char* second = nullptr; // a second argument, never optional
    const char* secondHelp = nullptr;
    bool argumentOptional = false;
    bool needsInstallation = true;          // else it runs on an installation never opened
    bool takesIncomplete = false;           // it runs on the installation as far as it opened
    const char* withoutCd = nullptr;        // its option with which it needs no CD setting
    QList<QCommandLineOption> options = {}; // besides --game, --cd, --help and --version
    // Why the argument cannot be used, or nothing. Asked before the installation is opened, so
    // that a mistyped word is told as such whatever the settings hold; none: any argument.
    QString (*refuses)(const QString& argument) = nullptr;
    int (*run)(const ovra::Installation& installation, const Args& args,
               Console& console) = nullptr;
};

// Every command, in the order the help lists them.
std::span<const Command> commands();

} // namespace cli
