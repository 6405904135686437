#include "floatprogressbar.h"

#include <algorithm>
#include <cmath>

namespace mediaed {

// Drawing steps per unit of the exact range.
static constexpr int kScale = 100;

FloatProgressBar::FloatProgressBar(QWidget* parent) : QProgressBar(parent) {
    setTextVisible(false);
    sync();
}

void FloatProgressBar::setExactMaximum(float maximum) {
    maximum_ = maximum;
    sync();
}

void FloatProgressBar::setExactValue(float value) {
    value_ = value;
    sync();
}

void FloatProgressBar::sync() {
    const int top = int(std::clamp<double>(double(maximum_) * kScale, 0, 1e9));
    setRange(0, top);
    setValue(int(std::clamp<double>(std::round(double(value_) * kScale), 0, top)));
}

} // namespace mediaed
