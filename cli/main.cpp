// ovra3: parses the command line and hands over to the command; nothing else happens here.
#include "cli/commands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLoggingCategory>
#include <algorithm>
#include <vector>

namespace {

const char kExitStatus[] =
    "\nExit status:\n"
    "  0  success (verify: everything is stock)\n"
    "  1  differences or partly done: verify found something that is not stock, export left out\n"
    "     changed or missing tricks, apply or restore could not make a swap or a copy\n"
    "  2  error, nothing done: no settings, no CD, a file that cannot be read or written,\n"
    "     no room, bad arguments\n";

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
    QCommandLineOption help{{"h", "help"}, "Shows this help."};
    QCommandLineOption version{{"v", "version"}, "Shows the version."};

    void addTo(QCommandLineParser& parser) const { parser.addOptions({game, cd, help, version}); }
};

// The edits that turn one word into the other: letters put in, left out, changed or two
// neighbours swapped ("stauts" is one from "status").
int distance(const QString& a, const QString& b) {
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (qsizetype i = 0; i <= a.size(); ++i)
        for (qsizetype j = 0; j <= b.size(); ++j) {
            if (i == 0 || j == 0) {
                d[i][j] = int(i + j);
                continue;
            }
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// The command a mistyped word most likely meant: the one nearest, two edits away at most.
QString nearestCommand(const QString& word) {
    QString nearest;
    int best = 3;
    for (const cli::Command& c : cli::commands())
        if (const int n = distance(word.toLower(), QLatin1String(c.name)); n < best) {
            best = n;
            nearest = QLatin1String(c.name);
        }
    return nearest;
}

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
    const auto usage = [](const cli::Command& c) {
        return QStringLiteral("%1 %2 %3")
            .arg(QLatin1String(c.name), QLatin1String(c.argument ? c.argument : ""),
                 QLatin1String(c.second ? c.second : ""))
            .trimmed();
    };
    qsizetype width = 0;
    for (const cli::Command& c : cli::commands())
        width = std::max(width, usage(c).size());
    for (const cli::Command& c : cli::commands())
        commands +=
            QStringLiteral("  %1  %2\n").arg(usage(c), -int(width)).arg(QLatin1String(c.brief));
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
    QLoggingCategory::setFilterRules(
        QStringLiteral("ovra.*.warning=false\novra.kept.warning=true"));
    cli::Console console;
    // A copy that could not be kept does not stop a command, but the player is told.
    static cli::Console* keptWarnings = &console;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext& context, const QString& text) {
        if (qstrcmp(context.category, "ovra.kept") == 0)
            keptWarnings->warning(text);
        else
            fputs(qUtf8Printable(text + u'\n'), stderr);
    });
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
            console.out() << "ovra3 " << QCoreApplication::applicationVersion()
                          << " (Ovra3 Editors " OVRA_VERSION ")\n";
            return cli::kSuccess;
        }
        if (first.isSet(globals.help)) {
            console.out() << generalHelp(first);
            return cli::kSuccess;
        }
        return usageError(console, QStringLiteral("no command given"));
    }
    const QString name = first.positionalArguments().first();
    const std::span<const cli::Command> commands = cli::commands();
    const auto command = std::find_if(commands.begin(), commands.end(), [&](const cli::Command& c) {
        return name == QLatin1String(c.name);
    });
    if (command == commands.end()) {
        const QString nearest = nearestCommand(name);
        return usageError(
            console, QStringLiteral("unknown command \"%1\"%2")
                         .arg(name, nearest.isEmpty()
                                        ? QString()
                                        : QStringLiteral("; did you mean \"%1\"?").arg(nearest)));
    }

    // Then the whole line again with the command's own options.
    QCommandLineParser parser;
    parser.setApplicationDescription(QLatin1String(command->summary));
    parser.addOptions(command->options);
    globals.addTo(parser);
    parser.addPositionalArgument(name, QStringLiteral("The command."), name);
    if (command->argument)
        parser.addPositionalArgument(QLatin1String(command->argument),
                                     QLatin1String(command->argumentHelp));
    if (command->second)
        parser.addPositionalArgument(QLatin1String(command->second),
                                     QLatin1String(command->secondHelp));
    if (!parser.parse(args))
        return usageError(console, parser.errorText());
    if (parser.isSet(globals.help)) {
        console.out() << help(parser);
        return cli::kSuccess;
    }
    const QStringList positional = parser.positionalArguments();
    const int wanted = 1 + (command->argument ? 1 : 0) + (command->second ? 1 : 0);
    if (positional.size() != wanted && !(command->argumentOptional && positional.size() == 1))
        return usageError(
            console,
            command->second
                ? QStringLiteral("%1 needs %2 and %3").arg(name, command->argument, command->second)
            : command->argument ? QStringLiteral("%1 needs one %2").arg(name, command->argument)
                                : QStringLiteral("%1 takes no argument").arg(name));
    const QString argument = positional.value(1);
    const QString second = positional.value(2);

    if (command->refuses)
        if (const QString why = command->refuses(argument); !why.isEmpty())
            return usageError(console, why);

    if (!command->needsInstallation)
        return command->run(ovra::Installation(), {argument, parser, second}, console);
    // The other commands need both settings: the installation is opened once, before any work.
    ovra::Installation::Given given;
    if (parser.isSet(globals.game))
        given.gameDirectory = cli::gameSetting(parser.value(globals.game));
    if (parser.isSet(globals.cd))
        given.cdDrive = cli::cdSetting(parser.value(globals.cd));
    if (command->takesIncomplete)
        return command->run(ovra::Installation::open(QCoreApplication::applicationDirPath(), given),
                            {argument, parser, second}, console);
    QString why;
    const std::optional<ovra::Installation> installation = cli::openInstallation(
        QCoreApplication::applicationDirPath(), given, &why,
        command->withoutCd && parser.isSet(QLatin1String(command->withoutCd)));
    if (!installation) {
        console.error(why);
        return cli::kError;
    }

    return command->run(*installation, {argument, parser, second}, console);
}
