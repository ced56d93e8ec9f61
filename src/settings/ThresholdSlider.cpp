#include "settings/ThresholdSlider.h"

#include "settings/SettingsStyle.h"
#include "settings/ThresholdScale.h"
#include "settings/WindowText.h"

#include <QSignalBlocker>

namespace nudgewatch {

ThresholdSlider::ThresholdSlider(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    setRange(thresholdScale::minimumSeconds, thresholdScale::maximumSeconds);
    setSingleStep(thresholdScale::stepSeconds);
    setPageStep(4 * thresholdScale::stepSeconds);
    setTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(windowText::idleThreshold);
    QPalette colours = palette();
    colours.setColor(QPalette::Highlight, style::blue);
    setPalette(colours);
    connect(this, &QSlider::valueChanged, this, &ThresholdSlider::onValueChanged);
    // Home, End or a click at the end where the handle already is move nothing
    // and report no value change; they still choose that position.
    connect(this, &QSlider::actionTriggered, this, [this] { report(sliderPosition()); });
    connect(this, &QSlider::sliderReleased, this, [this] { report(value()); });
}

void ThresholdSlider::showThreshold(double storedSeconds)
{
    const QSignalBlocker blocker(this);
    m_stored = storedSeconds;
    setValue(thresholdScale::positionFor(storedSeconds));
}

void ThresholdSlider::onValueChanged(int value)
{
    // Dragging reports every pixel; keep the handle and the stored value on the grid.
    const int onGrid = thresholdScale::snapped(value);
    if (onGrid != value) {
        const QSignalBlocker blocker(this);
        setValue(onGrid);
    }
    report(onGrid);
}

void ThresholdSlider::report(int position)
{
    const int onGrid = thresholdScale::snapped(position);
    // Pixels between two grid positions change nothing.
    if (double(onGrid) == m_stored)
        return;
    m_stored = onGrid;
    emit thresholdChosen(onGrid);
}

} // namespace nudgewatch
