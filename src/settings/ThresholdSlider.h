#pragma once

#include <QSlider>

namespace nudgewatch {

// The threshold slider: 30 to 600 seconds on a 15-second grid, its value and its
// accessible value in seconds. Every position it reaches, dragged or keyed, is
// reported through thresholdChosen at once.
class ThresholdSlider final : public QSlider {
    Q_OBJECT
public:
    explicit ThresholdSlider(QWidget *parent = nullptr);

    // Moves the handle to show a stored value without reporting it back.
    void showThreshold(double storedSeconds);

signals:
    void thresholdChosen(int seconds);

private:
    void onValueChanged(int value);
    void report(int position);

    // The value the store holds. It may lie off the grid (a value saved by hand),
    // so a press on the position the handle already shows still writes.
    double m_stored = 0;
};

} // namespace nudgewatch
