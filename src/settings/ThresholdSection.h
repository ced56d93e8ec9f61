#pragma once

class QLabel;

#include <QWidget>

namespace nudgewatch {

class ThresholdBadge;
class ThresholdSlider;

class AppTrackerStore;

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
