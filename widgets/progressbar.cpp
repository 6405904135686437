#include "progressbar.h"

#include "winlook.h"

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
    const int painted = paints_;
    setRange(0, top);
    setValue(int(std::clamp<double>(std::round(double(value_) * kScale), 0, top)));
    // The base class repaints at once when the bar grows by a pixel or more; once is enough.
    if (isVisible() && paints_ == painted)
        repaint();
}

void ProgressBar::paintEvent(QPaintEvent* event) {
    ++paints_;
    QProgressBar::paintEvent(event);
}

} // namespace ovra
