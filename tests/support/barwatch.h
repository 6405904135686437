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
        connect(bar, &ovra::ProgressBar::exactChanged, this, [this](float v) {
            taken << v;
            takenAt << clock.elapsed();
        });
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            drawn << bar->exactValue();
        return false;
    }
    void clear() {
        taken.clear();
        takenAt.clear();
        drawn.clear();
        clock.start();
    }
    // Drawn about once per screen frame (of 60 Hz) while the work ran: at least every other
    // frame (a value given a frame after the last drawing is drawn; values come a frame apart
    // at the most, or as far apart as they came on a loaded machine or under Wine), at most
    // once a frame (and once at the start); the last value taken is the last one drawn when the
    // window has caught up.
    bool drewByFrames() {
        const qint64 ms = clock.elapsed();
        const qsizetype during = drawn.size();
        QCoreApplication::processEvents();
        const bool caughtUp = taken.isEmpty() || (!drawn.isEmpty() && drawn.last() == taken.last());
        // Before the first value and after the last the bar has nothing to draw either.
        qint64 gap = std::max<qint64>(17, takenAt.isEmpty() ? ms : takenAt.first());
        for (qsizetype i = 1; i < takenAt.size(); ++i)
            gap = std::max(gap, takenAt[i] - takenAt[i - 1]);
        if (!takenAt.isEmpty())
            gap = std::max(gap, ms - takenAt.last());
        const qint64 least = (ms - 17) / (17 + gap);
        found = QStringLiteral("%1 values taken up to %2 ms apart, %3 drawn in %4 ms, the last %5")
                    .arg(taken.size())
                    .arg(gap)
                    .arg(during)
                    .arg(ms)
                    .arg(caughtUp ? "drawn" : "not drawn");
        return caughtUp && during >= least && during <= ms / 16 + 2;
    }
    QString found; // what drewByFrames() saw

    ovra::ProgressBar* bar;
    QList<float> taken, drawn;
    QList<qint64> takenAt; // ms after clear()
    QElapsedTimer clock;
};
