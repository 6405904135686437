#include "progressbar.h"

#include "winlook.h"

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
    const int top = int(std::clamp<double>(double(maximum_) * kScale, 0, 1e9));
    // The base class would repaint at once whenever the bar grows by a pixel: a restore of 659
    // small files would spend a third of its time drawing. The screen shows no more than one
    // frame per refresh anyway; a step between frames is drawn by the next frame, and the last
    // one when the loop returns to the window's event loop.
    setUpdatesEnabled(false);
    setRange(0, top);
    setValue(int(std::clamp<double>(std::round(double(value_) * kScale), 0, top)));
    setUpdatesEnabled(true);
    emit exactChanged(value_);
    if (!isVisible())
        return;
    const QScreen* where = screen();
    const double rate = where && where->refreshRate() > 1 ? where->refreshRate() : 60.0;
    if (!sincePaint_.isValid() || double(sincePaint_.nsecsElapsed()) >= 1e9 / rate)
        repaint();
    else
        update();
}

void ProgressBar::paintEvent(QPaintEvent* event) {
    sincePaint_.start();
    QProgressBar::paintEvent(event);
}

} // namespace ovra
