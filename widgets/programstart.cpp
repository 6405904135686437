#include "programstart.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QTextStream>
#include <cstdlib>

namespace ovra {

namespace {

void describe(QCommandLineParser& parser, const ProgramInfo& info) {
    parser.setApplicationDescription(info.description);
    parser.addHelpOption();
    parser.addVersionOption();
    if (!info.fileArgument.isEmpty())
        parser.addPositionalArgument(info.fileArgument,
                                     QStringLiteral("A file to open when the program starts."),
                                     QStringLiteral("[%1]").arg(info.fileArgument));
}

void nameProgram(const ProgramInfo& info) {
    QCoreApplication::setApplicationName(info.name);
    QCoreApplication::setApplicationVersion(info.version);
    QCoreApplication::setOrganizationName(QStringLiteral("Ovra3"));
}

} // namespace

std::optional<int> answerInfoOptions(int argc, char** argv, const ProgramInfo& info) {
    nameProgram(info);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    describe(parser, info);
    // Options of the toolkit (-platform, -geometry) are not known here: only the two answers
    // that need no window are looked for.
    parser.parse(arguments);
    QTextStream out(stdout);
    if (parser.isSet(QStringLiteral("help"))) {
        // Without an application object the parser cannot know the executable's name.
        out << parser.helpText().replace(QStringLiteral("<executable_name>"), info.name);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out << info.name << ' ' << info.version << '\n';
        return 0;
    }
    return std::nullopt;
}

QStringList startProgram(QApplication& app, const ProgramInfo& info) {
    nameProgram(info);
    QGuiApplication::setDesktopFileName(info.desktopId);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(info.desktopId)));
    QCommandLineParser parser;
    describe(parser, info);
    if (!parser.parse(app.arguments())) {
        QTextStream(stderr) << info.name << ": " << parser.errorText() << '\n'
                            << "Try " << info.name << " --help\n";
        std::exit(2);
    }
    return parser.positionalArguments();
}

} // namespace ovra
