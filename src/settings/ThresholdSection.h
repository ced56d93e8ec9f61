#pragma once

#include <QLabel>
#include <QSlider>
#include <QWidget>

namespace nudgewatch {

class AppTrackerStore;

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

// The badge with the formatted threshold.
class ThresholdBadge final : public QLabel {
    Q_OBJECT
public:
    explicit ThresholdBadge(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The idle threshold: header with the current value, the slider and a hint.
class ThresholdSection final : public QWidget {
    Q_OBJECT
public:
    explicit ThresholdSection(AppTrackerStore &store, QWidget *parent = nullptr);

    // Re-reads the threshold from the store.
    void refresh();

    QLabel *valueLabel() const;
    ThresholdSlider *slider() const { return m_slider; }

private:
    AppTrackerStore &m_store;
    ThresholdBadge *m_badge;
    ThresholdSlider *m_slider;
};

} // namespace nudgewatch
