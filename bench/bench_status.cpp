// `ovra3 status` on an installation of the demo's size (659 tricks of 40 KiB, 22 music files and
// 29 movies of 64 KiB, installed and on the CD) against `sha256sum` of the same 1420 files, in
// the same run. Both read every file once; the files stay in the page cache throughout.
#include "bench/benchutil.h"
#include "scripts/demogen/demogen.h"
#include "tests/support/tempinstall.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = 9;
    demogen::Options options;
    options.trickSize = 40 * 1024;
    options.musicSize = 64 * 1024;
    options.movieSize = 64 * 1024;
    const TempInstall install(options, false, QDir::currentPath()); // same disk as the build
    const demogen::Layout& layout = install.layout;

    QStringList files;
    for (const QString& root : {layout.gameDirectory, layout.cdRoot})
        for (QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            files << it.next();
    const QString ovra3 = QCoreApplication::applicationDirPath() + "/ovra3";
    const QStringList statusArgs{"status", "--game", layout.gameDirectory, "--cd", layout.cdDrive};

    std::vector<double> statusMs, shaMs;
    for (int r = -1; r < runs; ++r) { // the first round warms the caches and is not counted
        const double sha = bench::millis([&] { bench::run("sha256sum", files, true); });
        const double status = bench::millis([&] { bench::run(ovra3, statusArgs, true); });
        if (r >= 0) {
            shaMs.push_back(sha);
            statusMs.push_back(status);
        }
    }
    const double sha = bench::median(shaMs), status = bench::median(statusMs);
    bench::out() << QString("ovra3 status on %1 files against sha256sum of the same files, "
                            "median of %2 runs\n  ovra3 status %3 ms  sha256sum %4 ms  ratio %5\n")
                        .arg(files.size())
                        .arg(runs)
                        .arg(status, 0, 'f', 1)
                        .arg(sha, 0, 'f', 1)
                        .arg(status / sha, 0, 'f', 2);
    bench::out().flush();
    return 0;
}
