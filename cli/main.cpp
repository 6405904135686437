// ovra3: parses the command line and hands over to the command; nothing else happens here.
#include "commands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLoggingCategory>

namespace {

struct Command {
    const char* name;
    const char* brief; // for the list of commands
    const char* summary;
    const char* argument; // its one argument, or none
    const char* argumentHelp;
};

const Command kCommands[] = {
    {"status", "stock, swapped, changed or missing, file by file",
     "Tells for every trick position whether its installed file is stock, holds another CD "
     "trick, is changed or missing, and for the music and movie files of the two pick lists "
     "whether they are stock, replaced or missing.",
     nullptr, nullptr},
    {"verify", "only what is not stock; exit status 1 when something is",
     "Lists what is not stock; exit status 0 when everything is, 1 when not.", nullptr, nullptr},
    {"export", "a Trick Config that makes the installed swaps again",
     "Writes a Trick Config that makes the installation's trick swaps again. Changed and missing "
     "trick files are listed and left out (exit status 1).",
     "FILE.tcg", "The Trick Config file to write."},
    {"apply", "a Trick Config, as Open and Restore Trick Config does",
     "Makes the swaps of a Trick Config, as Open and Restore Trick Config does: the whole file is "
     "checked first.",
     "FILE.tcg", "The Trick Config file to apply."},
    {"restore", "the stock tricks, music, movies or all from the CD",
     "Copies the stock files back from the CD.", "WHAT", "tricks, music, movies or all."},
};

const char kExitStatus[] =
    "\nExit status:\n"
    "  0  success (verify: everything is stock)\n"
    "  1  differences or partly done: verify found something that is not stock, export left out\n"
    "     changed or missing tricks, apply or restore could not make a swap or a copy\n"
    "  2  error, nothing done: no settings, no CD, a file that cannot be read or written,\n"
    "     bad arguments\n";

const char kDescription[] =
    "Tells what the installed game holds compared with the game CD, and runs the trick and media "
    "editors' batch commands. The game directory and the CD drive come from the settings files "
    "of the two programs unless --game and --cd are given.";

struct Globals {
    QCommandLineOption game{"game", "The game directory (default: the programs' setting).", "DIR"};
    QCommandLineOption cd{"cd",
                          "The game CD: a folder, a mount point or an .iso image (default: the "
                          "programs' setting).",
                          "DIR"};
    QCommandLineOption json{"json", "The status as one JSON document (shape: see the README)."};
    QCommandLineOption help{{"h", "help"}, "Shows this help."};
    QCommandLineOption version{{"v", "version"}, "Shows the version."};

    void addTo(QCommandLineParser& parser) const { parser.addOptions({game, cd, help, version}); }
};

int usageError(cli::Console& console, const QString& why) {
    console.error(why + QStringLiteral(" (see ovra3 --help)"));
    return cli::kError;
}

// The parser's help under the program's own name (not the path it was started by), then the
// exit codes.
QString help(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    const QString started = QCoreApplication::arguments().value(0);
    if (!started.isEmpty())
        text.replace(text.indexOf(started), started.size(), QStringLiteral("ovra3"));
    return text + QLatin1String(kExitStatus);
}

QString generalHelp(QCommandLineParser& parser) {
    QString commands = QStringLiteral("\n\nCommands (ovra3 COMMAND --help tells more):\n");
    for (const Command& c : kCommands)
        commands +=
            QStringLiteral("  %1  %2\n")
                .arg(QStringLiteral("%1 %2").arg(QLatin1String(c.name),
                                                 QLatin1String(c.argument ? c.argument : "")),
                     -16)
                .arg(QLatin1String(c.brief));
    parser.setApplicationDescription(QLatin1String(kDescription) + commands.chopped(1));
    return help(parser);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ovra3"));
    QCoreApplication::setApplicationVersion(QStringLiteral(OVRA_VERSION));
    // Every failure is told by the command itself; the cores' log lines stay for
    // QT_LOGGING_RULES="ovra.*=true".
    QLoggingCategory::setFilterRules(QStringLiteral("ovra.*.warning=false"));
    cli::Console console;
    const QStringList args = app.arguments();
    const Globals globals;

    // First the options before the command, to find the command.
    QCommandLineParser first;
    first.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    globals.addTo(first);
    first.addPositionalArgument(QStringLiteral("COMMAND"), QStringLiteral("What to do."),
                                QStringLiteral("COMMAND [ARGUMENT]"));
    if (!first.parse(args))
        return usageError(console, first.errorText());
    if (first.positionalArguments().isEmpty()) {
        if (first.isSet(globals.version)) {
            console.out() << "ovra3 " << QCoreApplication::applicationVersion() << '\n';
            return cli::kSuccess;
        }
        if (first.isSet(globals.help)) {
            console.out() << generalHelp(first);
            return cli::kSuccess;
        }
        return usageError(console, QStringLiteral("no command given"));
    }
    const QString name = first.positionalArguments().first();
    const Command* command = nullptr;
    for (const Command& c : kCommands)
        if (name == QLatin1String(c.name))
            command = &c;
    if (!command)
        return usageError(console, QStringLiteral("unknown command \"%1\"").arg(name));

    // Then the whole line again with the command's own options.
    QCommandLineParser parser;
    parser.setApplicationDescription(QLatin1String(command->summary));
    if (name == QLatin1String("status"))
        parser.addOption(globals.json);
    globals.addTo(parser);
    parser.addPositionalArgument(name, QStringLiteral("The command."), name);
    if (command->argument)
        parser.addPositionalArgument(QLatin1String(command->argument),
                                     QLatin1String(command->argumentHelp));
    if (!parser.parse(args))
        return usageError(console, parser.errorText());
    if (parser.isSet(globals.help)) {
        console.out() << help(parser);
        return cli::kSuccess;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != (command->argument ? 2 : 1))
        return usageError(console,
                          command->argument
                              ? QStringLiteral("%1 needs one %2").arg(name, command->argument)
                              : QStringLiteral("%1 takes no argument").arg(name));
    const QString argument = positional.value(1);

    const std::optional<cli::Restore> what = cli::restoreNamed(argument);
    if (name == QLatin1String("restore") && !what)
        return usageError(console, QStringLiteral("restore what? \"%1\" is not tricks, music, "
                                                  "movies or all")
                                       .arg(argument));

    // Every command needs both settings: the installation is opened once, before any work.
    ovra::Installation::Given given;
    if (parser.isSet(globals.game))
        given.gameDirectory = cli::gameSetting(parser.value(globals.game));
    if (parser.isSet(globals.cd))
        given.cdDrive = cli::cdSetting(parser.value(globals.cd));
    QString why;
    const std::optional<ovra::Installation> installation =
        cli::openInstallation(QCoreApplication::applicationDirPath(), given, &why);
    if (!installation) {
        console.error(why);
        return cli::kError;
    }

    if (name == QLatin1String("status"))
        return cli::status(*installation, parser.isSet(globals.json), console);
    if (name == QLatin1String("verify"))
        return cli::verify(*installation, console);
    if (name == QLatin1String("export"))
        return cli::exportConfig(*installation, argument, console);
    if (name == QLatin1String("apply"))
        return cli::apply(*installation, argument, console);
    return cli::restore(*installation, *what, console);
}
