#include "mediaed/frmovra3meded.h"
#include "mediaed/mediabackend.h"
#include "widgets/programstart.h"

#include <QApplication>

int main(int argc, char** argv) {
    const ovra::ProgramInfo info{
        QStringLiteral("Ovra3MediaEd"), QStringLiteral("2.00"),
        QStringLiteral("Replaces the game's music and movies with your own files, keeps the "
                       "names of the songs in its 19 soundtrack slots, and restores the stock "
                       "files from the game CD."),
        QStringLiteral("org.ovra3editors.MediaEd"), QString()};
    ovra::CommandLine commandLine(argc, argv, info);
    if (const std::optional<int> answered = commandLine.answer())
        return *answered;
    mediaed::chooseMediaBackend();
    QApplication app(commandLine.toolkitArgc(), commandLine.toolkitArgv());
    ovra::startProgram(info);
    mediaed::FrmOvra3MedEd window(QCoreApplication::applicationDirPath());
    window.show();
    return app.exec();
}
