#pragma once

#include <QByteArrayList>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

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

// The command line, split before any window: the toolkit's own options (-platform, -reverse,
// -stylesheet FILE, ...), recognised by their exact names, go to QApplication and nowhere else;
// the rest is ours, parsed exactly (no bundling of single-dash letters, `--` ends the options).
// Nothing here needs a display.
class CommandLine {
public:
    CommandLine(int argc, char** argv, const ProgramInfo& info);
    CommandLine(const CommandLine&) = delete; // toolkitArgv() points into it
    CommandLine& operator=(const CommandLine&) = delete;

    // Prints the answer to --help, --help-all or --version, or what is wrong with the
    // arguments, and returns the exit code to end with (2 for bad arguments); nothing when the
    // program is to go on.
    std::optional<int> answer() const;

    // argc and argv for QApplication: the program's name and the toolkit's options. Both live
    // as long as this object.
    int& toolkitArgc() { return toolkitArgc_; }
    char** toolkitArgv() { return toolkitArgv_.data(); }

    // The files named (at most one, and only for a program that takes one).
    const QStringList& files() const { return files_; }

private:
    ProgramInfo info_;
    enum class Answer { None, Help, HelpAll, Version, Error } answer_ = Answer::None;
    QString helpText_;
    QString error_;
    QStringList files_;
    QByteArrayList toolkit_;
    std::vector<char*> toolkitArgv_;
    int toolkitArgc_ = 0;
};

// Once QApplication exists: names the program, sets its icon and desktop entry.
void startProgram(const ProgramInfo& info);

} // namespace ovra
