#pragma once

#include <QElapsedTimer>
#include <QProgressBar>

namespace ovra {

// A progress bar that keeps its value and maximum in single precision, as the restores compute
// them (a step of 100 / 21 or 100 / 659 is no whole number), and draws them through a finer
// integer range. The exact values are readable as properties.
class ProgressBar : public QProgressBar {
    Q_OBJECT
    Q_PROPERTY(float exactValue READ exactValue NOTIFY exactChanged)
    Q_PROPERTY(float exactMaximum READ exactMaximum)

public:
    explicit ProgressBar(QWidget* parent = nullptr);

    float exactValue() const { return value_; }
    float exactMaximum() const { return maximum_; }
    // Sets both and draws them at once, at most once per screen frame: a restore runs on the
    // window's thread, so the bar would otherwise only show its end. A value set within a frame
    // of the last drawing is drawn with the next one.
    void setExact(float maximum, float value);

signals:
    // After every setExact(), drawn or not.
    void exactChanged(float value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void draw();        // hands the exact values to the base class and draws them
    void showPending(); // a value kept between frames, once the window's event loop runs

    bool pending_ = false;
    float value_ = 0;
    float maximum_ = 100;
    QElapsedTimer sincePaint_;
};

} // namespace ovra
