#include "settings/TitleBar.h"

#include "card/SymbolImage.h"
#include "settings/SettingsStyle.h"
#include "settings/Symbol.h"
#include "settings/WindowText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

namespace nudgewatch {

// The blue-to-purple circle with the bell symbol.
class BellBadge final : public QWidget {
public:
    explicit BellBadge(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

BellBadge::BellBadge(QWidget *parent) : QWidget(parent)
{
    setFixedSize(36, 36);
}

void BellBadge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(rect().topLeft(), rect().bottomRight());
    gradient.setColorAt(0, style::blue);
    gradient.setColorAt(1, style::purple);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawEllipse(rect());
    constexpr int symbolSize = 18;
    painter.drawImage(QPointF((width() - symbolSize) / 2.0, (height() - symbolSize) / 2.0),
                      symbolImage(QStringLiteral("bell.badge.fill"), QSizeF(symbolSize, symbolSize),
                                  Qt::white, devicePixelRatioF()));
}

TitleBar::TitleBar(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(0);

    auto *badge = new BellBadge(this);
    layout->addWidget(badge);
    layout->addSpacing(12);

    auto *titleBlock = new QVBoxLayout;
    titleBlock->setSpacing(2);
    titleBlock->addWidget(style::label(windowText::title,
                                       style::font(this, 20, QFont::Bold, style::Design::Rounded),
                                       style::primary(palette()), this));
    titleBlock->addWidget(style::label(windowText::subtitle, style::font(this, 11),
                                       style::secondary(palette()), this));
    layout->addLayout(titleBlock);
    layout->addStretch(1);

    auto *statusBlock = new QVBoxLayout;
    statusBlock->setSpacing(2);
    // Centred as one block: the two lines keep 2 points between them however
    // tall the title bar is.
    statusBlock->addStretch(1);
    auto *statusRow = new QHBoxLayout;
    statusRow->setSpacing(4);
    statusRow->addStretch(1);
    m_statusDot = new SymbolView(QStringLiteral("circle.fill"), 8, style::gray, this);
    statusRow->addWidget(m_statusDot);
    m_statusLabel = style::label({}, style::font(this, 10, QFont::DemiBold), style::gray, this);
    statusRow->addWidget(m_statusLabel);
    statusBlock->addLayout(statusRow);
    m_countLabel = style::label({}, style::font(this, 10, QFont::Normal, style::Design::Monospaced),
                                style::secondary(palette()), this);
    statusBlock->addWidget(m_countLabel, 0, Qt::AlignRight);
    statusBlock->addStretch(1);
    layout->addLayout(statusBlock);

    showTrackedCount(0);
}

void TitleBar::showTrackedCount(int count, bool held)
{
    const bool monitoring = count > 0;
    const bool running = monitoring && !held;
    m_statusDot->setSymbol(QStringLiteral("circle.fill"), running ? style::green : style::gray);
    const QString status = !monitoring ? windowText::notTracking
                           : held      ? windowText::monitoringHeld
                                       : windowText::monitoring;
    m_statusLabel->setText(status);
    style::setLabelColor(m_statusLabel, running      ? style::green
                                        : monitoring ? style::gray
                                                     : style::secondary(palette()));
    const QString countText = windowText::trackedOfMaximum(count);
    m_countLabel->setText(countText);
}

void TitleBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), style::withOpacity(style::blue, 0.03));
}

} // namespace nudgewatch
