#include "cli/doctor.h"

#include "installation/filelist.h"
#include "installation/fileread.h"
#include "installation/logging.h"
#include "installation/paths.h"
#include "mediaed/catalogue.h"
#include "mediaed/stocktable.h"
#include "tricked/trickconfig.h"

#include <QDir>
#include <QFileInfo>

namespace cli {

namespace {

// One line per check: "ok" or "FAULT", what was found, and for a fault how to mend it.
struct Report {
    Console& console;
    int faults = 0;

    void ok(const QString& found) { console.out() << "ok     " << found << '\n'; }
    void fault(const QString& found, const QString& mend) {
        ++faults;
        console.out() << "FAULT  " << found << "\n       mend: " << mend << '\n';
    }
};

const char kSetAgain[] = "run ovra3 setup (it finds the game), set the folder in either program's "
                         "Directory and Drive Info dialog, or give it with --game";

// An installed folder of the game: there, holding its kind of files, writable.
void checkFolder(Report& report, const ovra::Installation& installation,
                 ovra::paths::GamePath (*folder)(const QString&), const QString& pattern,
                 const char* what) {
    const QString host = installation.installed(folder).hostPath();
    ovra::FileList list(pattern);
    if (!list.setPath(folder(*installation.gameDirectory()))) {
        report.fault(QStringLiteral("the %1 folder %2 does not exist or cannot be read")
                         .arg(QLatin1String(what), shownPath(host)),
                     QStringLiteral("check that the game directory is the folder the game is "
                                    "installed in; else %1")
                         .arg(QLatin1String(kSetAgain)));
        return;
    }
    if (list.count() == 0) {
        report.fault(QStringLiteral("the %1 folder %2 holds no %3 files")
                         .arg(QLatin1String(what), shownPath(host), pattern),
                     QStringLiteral("reinstall the game, or restore them with ovra3 restore"));
        return;
    }
    if (!QFileInfo(host).isWritable()) {
        report.fault(QStringLiteral("the %1 folder %2 is read-only")
                         .arg(QLatin1String(what), shownPath(host)),
                     QStringLiteral("make it writable for your user (on Windows: clear its "
                                    "read-only attribute, or install the game outside Program "
                                    "Files)"));
        return;
    }
    report.ok(QStringLiteral("%1 folder %2: %3 %4 files")
                  .arg(QLatin1String(what), shownPath(host))
                  .arg(list.count())
                  .arg(pattern));
}

} // namespace

int doctor(const ovra::Installation& installation, const Args&, Console& console) {
    Report report{console};
    const QString programDir = installation.programFolder().beside();

    if (!installation.gameDirectory()) {
        report.fault(installation.error(),
                     QStringLiteral("run ovra3 setup, which finds the game and its CD; or start "
                                    "either program and set the game directory in its "
                                    "Directory and Drive Info dialog, or give it with --game"));
    } else {
        const QString game =
            ovra::paths::hostPath(ovra::paths::GamePath(*installation.gameDirectory())).text();
        if (!QFileInfo(game).isDir()) {
            report.fault(
                QStringLiteral("the game directory %1 does not exist").arg(shownPath(game)),
                QStringLiteral("%1 (the folder holding the game's data folder)")
                    .arg(QLatin1String(kSetAgain)));
        } else {
            report.ok(QStringLiteral("game directory %1").arg(shownPath(game)));
            checkFolder(report, installation, &ovra::paths::trickDirectory, QStringLiteral("*.ska"),
                        "trick");
            checkFolder(report, installation, &ovra::paths::musicDirectory, QStringLiteral("*.mus"),
                        "music");
            checkFolder(report, installation, &ovra::paths::moviesDirectory,
                        QStringLiteral("*.mpg"), "movie");
        }
    }

    if (installation.gameDirectory() && !installation.cd()) {
        report.fault(installation.error(),
                     QStringLiteral("run ovra3 setup, which finds the CD; or set the CD drive "
                                    "in either program's Directory and Drive Info dialog (a "
                                    "drive, a folder holding the CD's files or an .iso image), or "
                                    "give it with --cd"));
    } else if (const ovra::CdSource* cd = installation.cd()) {
        ovra::FileList tricks(QStringLiteral("*.ska"));
        const ovra::Result<> listed = cd->list(ovra::paths::kCdTricks, tricks);
        if (!listed)
            report.fault(listed.error, QStringLiteral("insert or mount the game CD, or set the "
                                                      "CD drive again (--cd)"));
        else if (tricks.count() < tricked::kTrickCount)
            report.fault(QStringLiteral("the CD's trick folder %1 holds %2 tricks, not %3")
                             .arg(cd->shown(ovra::paths::kCdTricks))
                             .arg(tricks.count())
                             .arg(tricked::kTrickCount),
                         QStringLiteral("copy the CD again, whole; the trick editor offers only "
                                        "the tricks it finds"));
        else
            report.ok(QStringLiteral("CD: %1 tricks in %2")
                          .arg(tricks.count())
                          .arg(cd->shown(ovra::paths::kCdTricks)));
    }

    // The soundtrack's slot files: a missing one stands for its stock caption, one that is
    // there but cannot be read is a fault.
    const mediaed::Catalogue catalogue(programDir);
    int unreadable = 0;
    for (int slot = 0; slot < mediaed::kSlotCount; ++slot) {
        const QString file = catalogue.slotFilePath(slot);
        if (!QFileInfo::exists(file))
            continue;
        if (const ovra::Result<QByteArray> read = ovra::readRegularFile(file, 1 << 20); !read) {
            ++unreadable;
            report.fault(QStringLiteral("the slot file %1 cannot be read: %2")
                             .arg(shownPath(file), read.reason),
                         QStringLiteral("remove it: the slot shows its stock caption again"));
        }
    }
    if (unreadable == 0)
        report.ok(
            QStringLiteral("soundtrack slot files in %1").arg(shownPath(catalogue.dataFolder())));

    console.out() << (report.faults == 0 ? QStringLiteral("No faults found.\n")
                                         : QStringLiteral("%1 fault%2 found.\n")
                                               .arg(report.faults)
                                               .arg(report.faults == 1 ? "" : "s"));
    return report.faults == 0 ? kSuccess : kDiffers;
}

} // namespace cli
