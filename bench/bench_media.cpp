// The media editor's restores (22 music files of 4 MiB, 29 movies of 8 MiB) through the real
// window, against `cp` of the same CD files into the same folders, in the same run, and against
// the bare temporary-and-rename loop (see bench::renameOverMillis).
#include "bench/benchutil.h"
#include "mediaed/catalogue.h"
#include "mediaed/frmovra3meded.h"
#include "mediaed/mediabackend.h"
#include "scripts/demogen/demogen.h"
#include "tests/support/scripteddialogs.h"
#include "tests/support/tempinstall.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    mediaed::chooseMediaBackend();
    QApplication app(argc, argv);
    const int runs = 5;
    demogen::Options options;
    options.musicSize = 4 * 1024 * 1024;
    options.movieSize = 8 * 1024 * 1024;
    options.trickFiles = 0;
    const bench::Scratch scratch; // a disk like a player's, where it can be had
    const TempInstall install(options, true, scratch.path());
    const demogen::Layout& layout = install.layout;
    const QString& programDir = install.programDir;
    // The catalogue of an ordinary start, so that no first-start message waits for a click.
    mediaed::Catalogue catalogue(programDir);
    catalogue.resetToStock();
    if (!catalogue.save().ok)
        qFatal("cannot write the catalogue");

    ScriptedDialogs dialogs;
    mediaed::FrmOvra3MedEd window(programDir);
    if (!dialogs.messages.isEmpty())
        qFatal("the media editor did not start cleanly: %s", qPrintable(dialogs.messages[0].text));

    struct Case {
        const char* label;
        const char* action;
        QString cdFolder;
        QString installed;
        QStringList names;
    } cases[] = {
        {"Restore Original Music  (22 x 4 MiB)", "mnuRestore",
         layout.cdRoot + "/setup/data/data/music", layout.gameDirectory + "/data/music",
         demogen::musicNames(22)},
        {"Restore Original Movies (29 x 8 MiB)", "mnuRestoreMovies",
         layout.cdRoot + "/setup/data/data/movies", layout.gameDirectory + "/data/movies",
         demogen::movieNames(29)},
    };
    auto& o = bench::out();
    o << "measured on " << scratch.description() << '\n';
    o << "media restores against cp of the same files, median of " << runs << " runs\n";
    for (const Case& c : cases) {
        QAction* action = window.findChild<QAction*>(c.action);
        QStringList cpArgs;
        for (const QString& n : c.names)
            cpArgs << c.cdFolder + "/" + n;
        cpArgs << c.installed + "/";
        std::vector<double> ours, cp, bare, rsync;
        const QStringList sources = cpArgs.mid(0, c.names.size());
        for (int r = 0; r < runs; ++r) {
            bench::settle();
            ours.push_back(bench::millis([&] { action->trigger(); }));
            bench::settle();
            cp.push_back(bench::millis([&] { bench::run("cp", cpArgs); }));
            bench::settle();
            bare.push_back(bench::renameOverMillis(sources, c.installed));
            bench::settle();
            rsync.push_back(bench::rsyncMillis(sources, c.installed));
        }
        if (!dialogs.messages.isEmpty())
            qFatal("a restore failed: %s", qPrintable(dialogs.messages[0].text));
        const double a = bench::median(ours), b = bench::median(cp), f = bench::median(bare);
        o << QString("  %1  ours %2 ms  cp %3 ms  ratio %4\n")
                 .arg(c.label)
                 .arg(a, 7, 'f', 1)
                 .arg(b, 7, 'f', 1)
                 .arg(a / b, 0, 'f', 2);
        if (f > 0)
            o << QString("    bare temporary + rename %1 ms  cp ratio %2  ours/bare %3\n")
                     .arg(f, 7, 'f', 1)
                     .arg(f / b, 0, 'f', 2)
                     .arg(a / f, 0, 'f', 2);
        if (const double r = bench::median(rsync); r > 0)
            o << QString("    rsync -rt --whole-file  %1 ms  cp ratio %2\n")
                     .arg(r, 7, 'f', 1)
                     .arg(r / b, 0, 'f', 2);
    }
    o.flush();
    return 0;
}
