#include "widgets/programstart.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QTextStream>

namespace ovra {

namespace {

// The options Qt takes out of the command line itself (QCoreApplication, QGuiApplication,
// QApplication and the X11 platform plugin of Qt 6), each also spelled with two dashes.
struct ToolkitOption {
    const char* name;
    enum { Flag, Value, ValueOrJoined } kind; // ValueOrJoined: also -name=value
    const char* help;
};
constexpr ToolkitOption kToolkitOptions[] = {
    {"platform", ToolkitOption::Value, "The platform plugin (xcb, wayland, offscreen, ...)."},
    {"platformpluginpath", ToolkitOption::Value, "Where platform plugins are looked for."},
    {"platformtheme", ToolkitOption::Value, "The platform theme."},
    {"plugin", ToolkitOption::Value, "An additional plugin to load (input devices)."},
    {"qwindowgeometry", ToolkitOption::Value, "The main window's geometry (WxH+X+Y)."},
    {"geometry", ToolkitOption::Value, "The same, on X11."},
    {"qwindowtitle", ToolkitOption::Value, "The main window's title."},
    {"title", ToolkitOption::Value, "The same, on X11."},
    {"qwindowicon", ToolkitOption::Value, "The main window's icon."},
    {"icon", ToolkitOption::Value, "The same, on X11."},
    {"reverse", ToolkitOption::Flag, "Lays the windows out from right to left."},
    {"session", ToolkitOption::Value, "The session to restore (session managers)."},
    {"style", ToolkitOption::ValueOrJoined, "The widget style."},
    {"stylesheet", ToolkitOption::ValueOrJoined, "A style sheet file for every window."},
    {"widgetcount", ToolkitOption::Flag, "Tells at the end how many widgets were left."},
    {"testability", ToolkitOption::Flag, "Loads the testability plugin."},
    {"qmljsdebugger", ToolkitOption::ValueOrJoined, "Settings of the QML debugger."},
    {"display", ToolkitOption::Value, "The X server to connect to."},
    {"name", ToolkitOption::Value, "The X11 resource name."},
    {"visual", ToolkitOption::Value, "The X11 visual to use."},
    {"nograb", ToolkitOption::Flag, "Never grabs the mouse or the keyboard (X11)."},
    {"dograb", ToolkitOption::Flag, "Grabs even under a debugger (X11)."},
};

// The toolkit option `arg` names ("-reverse", "--platform", "-style=fusion"), or nullptr.
// `joined`: the value is part of the argument.
const ToolkitOption* toolkitOption(const QByteArray& arg, bool* joined) {
    if (!arg.startsWith('-'))
        return nullptr;
    QByteArray name = arg.mid(arg.startsWith("--") ? 2 : 1);
    const qsizetype equals = name.indexOf('=');
    *joined = equals >= 0;
    if (*joined)
        name.truncate(equals);
    for (const ToolkitOption& option : kToolkitOptions)
        if (name == option.name && (!*joined || option.kind == ToolkitOption::ValueOrJoined))
            return &option;
    return nullptr;
}

QString toolkitHelp() {
    QString text = QStringLiteral("\nQt options:\n");
    for (const ToolkitOption& option : kToolkitOptions) {
        QString usage = QStringLiteral("  -") + QLatin1String(option.name);
        if (option.kind != ToolkitOption::Flag)
            usage += QStringLiteral(" <value>");
        text += usage.leftJustified(30) + QLatin1Char(' ') + QLatin1String(option.help) + u'\n';
    }
    return text;
}

void nameProgram(const ProgramInfo& info) {
    QCoreApplication::setApplicationName(info.name);
    QCoreApplication::setApplicationVersion(info.version);
    QCoreApplication::setOrganizationName(QStringLiteral("Ovra3"));
}

} // namespace

CommandLine::CommandLine(int argc, char** argv, const ProgramInfo& info) : info_(info) {
    nameProgram(info);
    QStringList ours{argc > 0 ? QString::fromLocal8Bit(argv[0]) : info.name};
    toolkit_ << QByteArray(argc > 0 ? argv[0] : "");
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--") { // the rest are files, whatever they look like
            for (; i < argc; ++i)
                ours << QString::fromLocal8Bit(argv[i]);
            break;
        }
        bool joined = false;
        const ToolkitOption* option = toolkitOption(arg, &joined);
        if (!option) {
            ours << QString::fromLocal8Bit(arg);
            continue;
        }
        toolkit_ << arg;
        if (option->kind == ToolkitOption::Flag || joined)
            continue;
        if (i + 1 >= argc) {
            answer_ = Answer::Error;
            error_ = QStringLiteral("Missing value after '%1'.").arg(QString::fromLocal8Bit(arg));
            break;
        }
        toolkit_ << QByteArray(argv[++i]);
    }
    for (QByteArray& arg : toolkit_)
        toolkitArgv_.push_back(arg.data());
    toolkitArgc_ = int(toolkitArgv_.size());
    toolkitArgv_.push_back(nullptr);

    QCommandLineParser parser;
    // "-reverse" is one option, never -r -e -v ...: ours are -h and -v alone.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(info.description);
    parser.addHelpOption();
    parser.addVersionOption();
    if (!info.fileArgument.isEmpty())
        parser.addPositionalArgument(info.fileArgument,
                                     QStringLiteral("A file to open when the program starts."),
                                     QStringLiteral("[%1]").arg(info.fileArgument));
    // Without an application object the parser cannot know the executable's name.
    helpText_ = parser.helpText().replace(QStringLiteral("<executable_name>"), info.name);
    if (answer_ == Answer::Error)
        return;
    if (!parser.parse(ours)) {
        answer_ = Answer::Error;
        error_ = parser.errorText();
    } else if (parser.isSet(QStringLiteral("help"))) {
        answer_ = Answer::Help;
    } else if (parser.isSet(QStringLiteral("help-all"))) {
        answer_ = Answer::HelpAll;
    } else if (parser.isSet(QStringLiteral("version"))) {
        answer_ = Answer::Version;
    } else {
        files_ = parser.positionalArguments();
        const qsizetype allowed = info.fileArgument.isEmpty() ? 0 : 1;
        if (files_.size() > allowed) {
            answer_ = Answer::Error;
            error_ = QStringLiteral("Unexpected argument '%1'.").arg(files_[allowed]);
        }
    }
}

std::optional<int> CommandLine::answer() const {
    QTextStream out(stdout);
    switch (answer_) {
    case Answer::None:
        return std::nullopt;
    case Answer::Help:
        out << helpText_;
        return 0;
    case Answer::HelpAll:
        out << helpText_ << toolkitHelp();
        return 0;
    case Answer::Version:
        // The program's own version, as its About window shows it, and the release it came in.
        out << info_.name << ' ' << info_.version << " (Ovra3 Editors " OVRA_VERSION ")\n";
        return 0;
    case Answer::Error:
        QTextStream(stderr) << info_.name << ": " << error_ << '\n'
                            << "Try " << info_.name << " --help\n";
        return 2;
    }
    return 2;
}

void startProgram(const ProgramInfo& info) {
    nameProgram(info);
    QGuiApplication::setDesktopFileName(info.desktopId);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(info.desktopId)));
}

} // namespace ovra
