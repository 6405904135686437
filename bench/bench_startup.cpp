// Start-up of each program to its first shown window (whole process, offscreen) and its peak
// memory, against a bare Qt program that only shows an empty window, in the same run.
#include "benchutil.h"
#include "catalogue.h"
#include "demogen.h"
#include "tempinstall.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

namespace {

struct Sample {
    double ms;
    qint64 peakKiB;
};

Sample startOnce(const QString& child, const QString& which, const QString& programDir) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(child, {which, programDir});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        qFatal("%s did not start", qPrintable(which));
    const double ms = double(t.nsecsElapsed()) / 1e6;
    return {ms, p.readAllStandardOutput().trimmed().toLongLong()};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = 11;
    demogen::Options options;
    options.trickSize = 40 * 1024;
    const TempInstall install(options, true, QString()); // the temporary folder
    const QString& programDir = install.programDir;
    // The catalogue of an ordinary start, so that no first-start message waits for a click.
    mediaed::Catalogue catalogue(programDir);
    catalogue.resetToStock();
    if (!catalogue.save().ok)
        qFatal("cannot write the catalogue");

    const QString child = QCoreApplication::applicationDirPath() + "/bench_startup_child";
    std::vector<double> times[3];
    std::vector<double> peaks[3];
    const char* names[3] = {"bare", "media", "trick"};
    for (int r = 0; r < runs; ++r)
        for (int k = 0; k < 3; ++k) {
            const Sample s = startOnce(child, names[k], programDir);
            times[k].push_back(s.ms);
            peaks[k].push_back(double(s.peakKiB));
        }
    const double bareMs = bench::median(times[0]), bareKiB = bench::median(peaks[0]);
    auto& o = bench::out();
    o << "start-up to first shown window, median of " << runs << " runs (offscreen)\n";
    o << QString("  bare Qt window     %1 ms  %2 MiB peak\n")
             .arg(bareMs, 7, 'f', 1)
             .arg(bareKiB / 1024, 6, 'f', 1);
    for (int k = 1; k < 3; ++k) {
        const double ms = bench::median(times[k]), kib = bench::median(peaks[k]);
        o << QString("  %1 %2 ms  %3 MiB peak   time x%4  memory x%5\n")
                 .arg(k == 1 ? "Ovra3MediaEd      " : "Ovra3TrickEd      ")
                 .arg(ms, 7, 'f', 1)
                 .arg(kib / 1024, 6, 'f', 1)
                 .arg(ms / bareMs, 0, 'f', 2)
                 .arg(kib / bareKiB, 0, 'f', 2);
    }
    o.flush();
    return 0;
}
