// Start-up of each program to its first shown window (whole process, offscreen) and its peak
// memory, against a bare Qt program that only shows an empty window, in the same run.
#include "bench/benchutil.h"
#include "mediaed/catalogue.h"
#include "scripts/demogen/demogen.h"
#include "tests/support/tempinstall.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <iterator>

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
    // The bare window draws no text; one label adds what any window with text pays first:
    // loading the font configuration and the fonts.
    const char* names[] = {"bare", "label", "media", "trick"};
    const char* shown[] = {"bare Qt window    ", "  with one label  ", "Ovra3MediaEd      ",
                           "Ovra3TrickEd      "};
    constexpr int kinds = int(std::size(names));
    std::vector<double> times[kinds], peaks[kinds];
    for (int r = 0; r < runs; ++r)
        for (int k = 0; k < kinds; ++k) {
            const Sample s = startOnce(child, names[k], programDir);
            times[k].push_back(s.ms);
            peaks[k].push_back(double(s.peakKiB));
        }
    const double bareMs = bench::median(times[0]), bareKiB = bench::median(peaks[0]);
    const double labelMs = bench::median(times[1]);
    auto& o = bench::out();
    o << "start-up to first shown window, median of " << runs << " runs (offscreen)\n";
    for (int k = 0; k < kinds; ++k) {
        const double ms = bench::median(times[k]), kib = bench::median(peaks[k]);
        o << QString("  %1 %2 ms  %3 MiB peak")
                 .arg(shown[k])
                 .arg(ms, 7, 'f', 1)
                 .arg(kib / 1024, 6, 'f', 1);
        if (k > 0)
            o << QString("   time x%1  memory x%2")
                     .arg(ms / bareMs, 0, 'f', 2)
                     .arg(kib / bareKiB, 0, 'f', 2);
        if (k > 1)
            o << QString("  (x%1 the window with a label)").arg(ms / labelMs, 0, 'f', 2);
        o << '\n';
    }
    o.flush();
    return 0;
}
