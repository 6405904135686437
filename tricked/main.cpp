#include "tricked/frmovra3tricked.h"
#include "widgets/programstart.h"

#include <QApplication>

int main(int argc, char** argv) {
    const ovra::ProgramInfo info{
        QStringLiteral("Ovra3TrickEd"), QStringLiteral("1.05"),
        QStringLiteral("Swaps the game's trick animations, records the swaps in Trick Config "
                       "files to share, applies such files, and restores the stock tricks from "
                       "the game CD."),
        QStringLiteral("org.ovra3editors.TrickEd"), QStringLiteral("file.tcg")};
    ovra::CommandLine commandLine(argc, argv, info);
    if (const std::optional<int> answered = commandLine.answer())
        return *answered;
    QApplication app(commandLine.toolkitArgc(), commandLine.toolkitArgv());
    ovra::startProgram(info);
    tricked::FrmOvra3TrickEd window(QCoreApplication::applicationDirPath());
    window.show();
    if (!commandLine.files().isEmpty())
        window.offerToApply(commandLine.files().first());
    return app.exec();
}
