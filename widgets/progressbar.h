#pragma once

#include <QProgressBar>

namespace ovra {

// A progress bar that keeps its value and maximum in single precision, as the restores compute
// them (a step of 100 / 21 or 100 / 659 is no whole number), and draws them through a finer
// integer range. The exact values are readable as properties.
class ProgressBar : public QProgressBar {
    Q_OBJECT
    Q_PROPERTY(float exactValue READ exactValue)
    Q_PROPERTY(float exactMaximum READ exactMaximum)

public:
    explicit ProgressBar(QWidget* parent = nullptr);

    float exactValue() const { return value_; }
    float exactMaximum() const { return maximum_; }
    // Sets both and repaints at once: a restore runs on the window's thread, so the bar would
    // otherwise only show its end.
    void setExact(float maximum, float value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    float value_ = 0;
    float maximum_ = 100;
    int paints_ = 0;
};

} // namespace ovra
