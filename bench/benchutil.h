#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <vector>

#if defined(Q_OS_LINUX)
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

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

// The least any copy that keeps the old file until the new one is whole must do: each source
// copied by the kernel into a new file beside its destination, renamed over it. Nothing is
// checked, locked or kept. Milliseconds, or -1 where this is not measured.
inline double renameOverMillis(const QStringList& sources, const QString& folder) {
#if defined(Q_OS_LINUX)
    return millis([&] {
        for (const QString& source : sources) {
            QByteArray temp = QFile::encodeName(folder) + "/.bench-XXXXXX";
            const int in = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
            const int out = ::mkostemp(temp.data(), O_CLOEXEC);
            if (in < 0 || out < 0)
                qFatal("cannot copy %s", qPrintable(source));
            while (::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0) > 0) {
            }
            ::close(in);
            const QByteArray to = QFile::encodeName(folder + "/" + QFileInfo(source).fileName());
            if (::close(out) != 0 || ::rename(temp.constData(), to.constData()) != 0)
                qFatal("cannot replace %s", to.constData());
        }
    });
#else
    Q_UNUSED(sources)
    Q_UNUSED(folder)
    return -1;
#endif
}

inline QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}

} // namespace bench
