#include "widgets/progressbar.h"

#include "widgets/winlook.h"

#include <QScreen>

#include <algorithm>
#include <cmath>

namespace ovra {

// Drawing steps per unit of the exact range.
static constexpr int kScale = 1000;

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent) {
    setTextVisible(false);
    setFocusPolicy(Qt::NoFocus);
    look::standardColours(this);
    setExact(100, 0);
}

void ProgressBar::setExact(float maximum, float value) {
    maximum_ = maximum;
    value_ = value;
    emit exactChanged(value_);
    // The base class would repaint at once whenever the bar grows by a pixel: a restore of 659
    // small files would spend a third of its time drawing, and even handing it each value costs
    // more than the copy of a small file. The screen shows no more than one frame per refresh
    // anyway: between frames the value is only kept, and drawn by the next frame, or when the
    // loop returns to the window's event loop.
    if (isVisible()) {
        const QScreen* where = screen();
        const double rate = where && where->refreshRate() > 1 ? where->refreshRate() : 60.0;
        if (sincePaint_.isValid() && double(sincePaint_.nsecsElapsed()) < 1e9 / rate) {
            if (!pending_) {
                pending_ = true;
                QMetaObject::invokeMethod(this, &ProgressBar::showPending, Qt::QueuedConnection);
            }
            return;
        }
    }
    draw();
}

void ProgressBar::draw() {
    pending_ = false;
    const int top = int(std::clamp<double>(double(maximum_) * kScale, 0, 1e9));
    setUpdatesEnabled(false); // drawn below, once
    setRange(0, top);
    setValue(int(std::clamp<double>(std::round(double(value_) * kScale), 0, top)));
    setUpdatesEnabled(true);
    if (isVisible())
        repaint();
}

void ProgressBar::showPending() {
    if (pending_)
        draw();
}

void ProgressBar::paintEvent(QPaintEvent* event) {
    sincePaint_.start();
    QProgressBar::paintEvent(event);
}

} // namespace ovra
