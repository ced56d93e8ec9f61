#include "settings/ThresholdSection.h"

#include "settings/SectionHeader.h"
#include "settings/SettingsStyle.h"
#include "settings/Symbol.h"
#include "settings/ThresholdSlider.h"
#include "settings/WindowText.h"
#include "tracking/AppTrackerStore.h"
#include "tracking/DurationFormat.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace nudgewatch {

// The badge with the formatted threshold.
class ThresholdBadge final : public QLabel {
public:
    explicit ThresholdBadge(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

ThresholdBadge::ThresholdBadge(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setFont(style::font(this, 14, QFont::Black, style::Design::Rounded));
    style::setLabelColor(this, style::blue);
    setContentsMargins(10, 4, 10, 4);
    setAlignment(Qt::AlignCenter);
}

void ThresholdBadge::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath outline;
        outline.addRoundedRect(QRectF(rect()), 8, 8);
        painter.fillPath(outline, style::withOpacity(style::blue, 0.1));
    }
    QLabel::paintEvent(event);
}

ThresholdSection::ThresholdSection(AppTrackerStore &store, QWidget *parent)
    : QWidget(parent), m_store(store)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(10);

    m_badge = new ThresholdBadge(this);
    layout->addWidget(new SectionHeader(QStringLiteral("clock.badge"), style::blue,
                                        windowText::idleThreshold, m_badge, this));

    auto *sliderRow = new QHBoxLayout;
    sliderRow->setSpacing(12);
    const QFont endFont = style::font(this, 10, QFont::Medium, style::Design::Monospaced);
    sliderRow->addWidget(
        style::label(windowText::thresholdMinimum, endFont, style::secondary(palette()), this));
    m_slider = new ThresholdSlider(this);
    sliderRow->addWidget(m_slider, 1);
    sliderRow->addWidget(
        style::label(windowText::thresholdMaximum, endFont, style::secondary(palette()), this));
    layout->addLayout(sliderRow);

    auto *hint = style::label(windowText::thresholdHint, style::font(this, 10),
                              style::secondary(palette(), 0.7), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    connect(m_slider, &ThresholdSlider::thresholdChosen, this,
            [this](int seconds) { m_store.setIdleThresholdSeconds(seconds); });
    refresh();
}

void ThresholdSection::refresh()
{
    const double seconds = m_store.idleThresholdSeconds();
    m_badge->setText(formatThreshold(seconds));
    m_slider->showThreshold(seconds);
}

QLabel *ThresholdSection::valueLabel() const
{
    return m_badge;
}

} // namespace nudgewatch
