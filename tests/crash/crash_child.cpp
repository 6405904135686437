// Runs one long file-writing operation of the programs until it is killed, so that the crash
// test can stop it at any moment:
//   crash_child trick-restore PROGRAM_DIR   the trick editor's Restore Originals, again and again
//   crash_child media-restore PROGRAM_DIR   the media editor's Restore Original Music and Movies
//   crash_child catalogue-save PROGRAM_DIR  saves of the soundtrack catalogue, two versions in turn
#include "mediaed/catalogue.h"
#include "mediaed/frmovra3meded.h"
#include "mediaed/mediabackend.h"
#include "tests/support/scripteddialogs.h"
#include "tricked/frmovra3tricked.h"

#include <QAction>
#include <QApplication>
#include <QTextStream>

static void ready() {
    QTextStream(stdout) << "ready" << Qt::endl;
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    mediaed::chooseMediaBackend();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    const QString mode = args[1], programDir = args[2];
    ScriptedDialogs dialogs; // a failure must not wait for a click
    if (mode == "trick-restore") {
        tricked::FrmOvra3TrickEd window(programDir);
        QAction* restore = window.findChild<QAction*>("mnuRestore");
        if (!restore)
            return 3;
        ready();
        for (;;)
            restore->trigger();
    }
    if (mode == "media-restore") {
        mediaed::FrmOvra3MedEd window(programDir);
        QAction* music = window.findChild<QAction*>("mnuRestore");
        QAction* movies = window.findChild<QAction*>("mnuRestoreMovies");
        if (!music || !movies)
            return 3;
        ready();
        for (;;) {
            music->trigger();
            movies->trigger();
        }
    }
    if (mode == "catalogue-save") {
        mediaed::Catalogue catalogue(programDir);
        ready();
        for (int round = 0;; ++round) {
            for (int i = 0; i < mediaed::kSlotCount; ++i)
                catalogue.setSlot(
                    i, QStringLiteral("%1 version of slot %2").arg(round % 2 ? "B" : "A").arg(i));
            if (!catalogue.save().ok)
                return 4;
        }
    }
    return 2;
}
