// The trick editor's two batch commands on 659 trick files of 40 KiB, through the real window:
// Restore Originals, and Open of a Trick Config with 659 swaps. What they replace is kept first:
// after cp the installed files are new to the index of kept copies and are each read once; after
// the editor's own Open they are known and not read. Each against `cp` of the same
// 659 files into the same folder, in the same run, and against the bare temporary-and-rename
// loop (see bench::renameOverMillis) that bounds any copy keeping the old file until the new
// one is whole.
//   bench_tricks restore|open|none: one command only (or none), without cp, on files long on
//   disk; prints its time. For `strace -f -c`: the difference to `none` is the command's own.
#include "bench/benchutil.h"
#include "rtf/rtfwriter.h"
#include "scripts/demogen/demogen.h"
#include "tests/support/scripteddialogs.h"
#include "tests/support/tempinstall.h"
#include "tricked/frmovra3tricked.h"
#include "tricked/trickconfig.h"
#include "widgets/progressbar.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = 7;
    demogen::Options options;
    options.trickSize = 40 * 1024;
    options.musicFiles = 0;
    options.movieFiles = 0;
    const bench::Scratch scratch; // a disk like a player's, where it can be had
    const TempInstall install(options, true, scratch.path());
    // The kept copies on the same disk, as a player's home folder would be. The first restore
    // keeps what it replaces; every later one replaces files that are all stock or already kept.
    qputenv("XDG_DATA_HOME", QFile::encodeName(install.dir.filePath("data")));
    const demogen::Layout& layout = install.layout;
    const QString& programDir = install.programDir;

    ScriptedDialogs dialogs;
    tricked::FrmOvra3TrickEd window(programDir);
    window.show(); // the restore repaints its progress bar at every file
    if (!dialogs.messages.isEmpty())
        qFatal("the trick editor did not start cleanly: %s", qPrintable(dialogs.messages[0].text));

    // Every record changed: trick k gets the CD file of trick k + 1.
    QString config = tricked::unchangedConfig();
    for (int k = 0; k < tricked::kTrickCount; ++k)
        tricked::replaceRecord(config, k, (k + 1) % tricked::kTrickCount);
    const QString tcg = install.dir.filePath("all-swapped.tcg");
    QFile file(tcg);
    const QByteArray document = rtf::write(config);
    if (!file.open(QIODevice::WriteOnly) || file.write(document) != document.size())
        qFatal("cannot write %s", qPrintable(tcg));
    file.close();

    const QString cdFolder = layout.cdRoot + "/setup/data/data/anims/skater_m";
    QStringList cpArgs;
    for (const QString& name : window.core().trickList().names().mid(0, tricked::kTrickCount))
        cpArgs << cdFolder + "/" + name;
    cpArgs << layout.gameDirectory + "/data/anims/skater_M/";

    QAction* restore = window.findChild<QAction*>("mnuRestore");
    QAction* open = window.findChild<QAction*>("mnuOpen");
    if (argc > 1) {
        const QByteArray once = argv[1];
        bench::settle();
        if (once == "open")
            dialogs.answer(tcg);
        if (once == "restore" || once == "open")
            bench::out() << bench::millis([&] { (once == "open" ? open : restore)->trigger(); })
                         << " ms\n";
        else if (once != "none")
            qFatal("usage: bench_tricks [restore|open|none]");
        bench::out().flush();
        if (!dialogs.messages.isEmpty())
            qFatal("the command failed: %s", qPrintable(dialogs.messages[0].text));
        return 0;
    }
    const QString installed = layout.gameDirectory + "/data/anims/skater_M";
    const QStringList sources = cpArgs.mid(0, tricked::kTrickCount);
    bench::settle();
    const double firstMs = bench::millis([&] { restore->trigger(); });
    std::vector<double> restoreMs, knownRestoreMs, openMs, cpMs, floorMs, rsyncMs;
    for (int r = 0; r < runs; ++r) {
        bench::settle();
        cpMs.push_back(bench::millis([&] { bench::run("cp", cpArgs); }));
        bench::settle();
        restoreMs.push_back(bench::millis([&] { restore->trigger(); }));
        dialogs.answer(tcg);
        bench::settle();
        openMs.push_back(bench::millis([&] { open->trigger(); }));
        bench::settle();
        knownRestoreMs.push_back(bench::millis([&] { restore->trigger(); }));
        bench::settle();
        floorMs.push_back(bench::renameOverMillis(sources, installed));
        bench::settle();
        rsyncMs.push_back(bench::rsyncMillis(sources, installed));
    }
    if (!dialogs.messages.isEmpty())
        qFatal("a command failed: %s", qPrintable(dialogs.messages[0].text));
    if (window.findChild<ovra::ProgressBar*>("ProgressBar1")->exactValue() < 99.8f)
        qFatal("the restore did not run to its end");

    const double cp = bench::median(cpMs), floor = bench::median(floorMs),
                 rsync = bench::median(rsyncMs);
    auto& o = bench::out();
    o << "measured on " << scratch.description() << '\n';
    o << "trick editor (659 files x 40 KiB) against cp of the same files, median of " << runs
      << " runs\n";
    o << "what each file replaced holds is kept first; all of it is kept already but in the first "
         "restore\n";
    const std::pair<const char*, double> rows[] = {
        {"Restore Originals after cp   ", bench::median(restoreMs)},
        {"Open and Restore (659 swaps) ", bench::median(openMs)},
        {"Restore Originals after Open ", bench::median(knownRestoreMs)},
        {"first Restore (keeps 659)    ", firstMs}};
    for (auto [label, ms] : rows)
        o << QString("  %1 ours %2 ms  cp %3 ms  ratio %4\n")
                 .arg(label)
                 .arg(ms, 7, 'f', 1)
                 .arg(cp, 7, 'f', 1)
                 .arg(ms / cp, 0, 'f', 2);
    if (floor > 0)
        o << QString("  bare temporary + rename       %1 ms  cp ratio %2  ours/bare %3 %4\n")
                 .arg(floor, 7, 'f', 1)
                 .arg(floor / cp, 0, 'f', 2)
                 .arg(rows[0].second / floor, 0, 'f', 2)
                 .arg(rows[1].second / floor, 0, 'f', 2);
    if (rsync > 0)
        o << QString("  rsync -rt --whole-file        %1 ms  cp ratio %2\n")
                 .arg(rsync, 7, 'f', 1)
                 .arg(rsync / cp, 0, 'f', 2);
    o.flush();
    return 0;
}
