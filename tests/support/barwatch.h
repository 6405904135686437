#pragma once

#include "widgets/progressbar.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QList>
#include <QString>
#include <algorithm>

// What a restore's progress bar takes and what it shows: every exact value it is given, in
// order, and the value on screen each time it is drawn. The bar draws at most once per screen
// frame, so a fast restore shows fewer values than it takes; the last is drawn once the window
// gets back to its event loop.
struct BarWatch : QObject {
    explicit BarWatch(ovra::ProgressBar* watched) : bar(watched) {
        bar->installEventFilter(this);
        connect(bar, &ovra::ProgressBar::exactChanged, this, [this](float v) { taken << v; });
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            drawn << bar->exactValue();
        return false;
    }
    void clear() {
        taken.clear();
        drawn.clear();
        clock.start();
    }
    // Drawn about once per screen frame (of 60 Hz) while the work ran: at least every other
    // frame, or every value when each takes longer than that (a loaded machine, Wine's slower
    // file calls), at most once a frame (and once at the start); the last value taken is the
    // last one drawn when the window has caught up.
    bool drewByFrames() {
        const qint64 ms = clock.elapsed();
        const qsizetype during = drawn.size();
        QCoreApplication::processEvents();
        const bool caughtUp = taken.isEmpty() || (!drawn.isEmpty() && drawn.last() == taken.last());
        const qint64 least = std::min<qint64>((ms - 17) / 34, qint64(taken.size()) - 1);
        found = QStringLiteral("%1 values taken, %2 drawn in %3 ms, the last %4")
                    .arg(taken.size())
                    .arg(during)
                    .arg(ms)
                    .arg(caughtUp ? "drawn" : "not drawn");
        return caughtUp && during >= least && during <= ms / 16 + 2;
    }
    QString found; // what drewByFrames() saw

    ovra::ProgressBar* bar;
    QList<float> taken, drawn;
    QElapsedTimer clock;
};
