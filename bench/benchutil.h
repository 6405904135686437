#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <vector>

// Small helpers shared by the benchmark programs: every figure is a median of several runs,
// and every ratio compares two things measured in the same run on the same files.
namespace bench {

inline double millis(const std::function<void()>& work) {
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e6;
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Runs a command and fails loudly: a benchmark of a failed command is worthless. `quiet` throws
// its standard output away.
inline void run(const QString& program, const QStringList& args, bool quiet = false) {
    QProcess p;
    p.setProcessChannelMode(quiet ? QProcess::ForwardedErrorChannel : QProcess::ForwardedChannels);
    if (quiet)
        p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qFatal("%s failed", qPrintable(program + " " + args.join(' ')));
}

inline QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}

} // namespace bench
