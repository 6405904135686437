#pragma once

#include <QProgressBar>

namespace mediaed {

// A progress bar that keeps its value and maximum in single precision, as the restores
// compute them (a step of 100 / 21 is not a whole number), and draws them through a finer
// integer range.
class FloatProgressBar : public QProgressBar {
    Q_OBJECT
    Q_PROPERTY(float exactValue READ exactValue)
    Q_PROPERTY(float exactMaximum READ exactMaximum)

public:
    explicit FloatProgressBar(QWidget* parent = nullptr);

    float exactValue() const { return value_; }
    float exactMaximum() const { return maximum_; }
    void setExactMaximum(float maximum);
    void setExactValue(float value);

private:
    void sync();

    float value_ = 0;
    float maximum_ = 100;
};

} // namespace mediaed
