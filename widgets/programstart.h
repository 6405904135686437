#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QApplication;

// What both programs do before their main window: answer --help and --version, name the
// program for the desktop, and take the files named on the command line.
namespace ovra {

struct ProgramInfo {
    QString name;         // "Ovra3TrickEd": the executable, the captions of its messages
    QString version;      // as its About window shows it
    QString description;  // one line for --help
    QString desktopId;    // "org.ovra3editors.TrickEd": desktop entry and icon name
    QString fileArgument; // empty: the program takes no file; else how --help names it
};

// --help and --version print to standard output and end the program before any window, so they
// work without a display. Returns the exit code to end with, or nothing to go on.
std::optional<int> answerInfoOptions(int argc, char** argv, const ProgramInfo& info);

// After QApplication has taken its own options (-platform, -geometry, ...): names the program,
// sets its icon and desktop entry, and returns the files named on the command line. An option
// it does not know ends the program with a message and exit code 2.
QStringList startProgram(QApplication& app, const ProgramInfo& info);

} // namespace ovra
