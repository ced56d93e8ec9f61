#include "settings/AppRow.h"

#include "card/SymbolImage.h"
#include "settings/ElidingLabel.h"
#include "settings/FocusRing.h"
#include "settings/SettingsStyle.h"
#include "settings/Symbol.h"
#include "settings/WindowText.h"
#include "tracking/DurationFormat.h"

#include <QEnterEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionToolButton>
#include <QVBoxLayout>

namespace nudgewatch {

// The application's icon, 40 x 40 in a rounded outline.
class AppIconView final : public QWidget {
public:
    explicit AppIconView(QImage icon, QWidget *parent = nullptr);
    void setIcon(const QImage &icon);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_icon;
};

// A flat button showing only a tinted symbol; its tooltip is also its
// accessible name, since it has no text of its own.
class SymbolButton final : public QToolButton {
public:
    SymbolButton(const QString &symbol, int size, const QColor &color, const QString &tooltip,
                 QWidget *parent = nullptr);

    void setColor(const QColor &color)
    {
        m_color = color;
        update();
    }
    // Names the button after what it acts on.
    void setName(const QString &name)
    {
        setToolTip(name);
        setAccessibleName(name);
    }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    int m_size;
    QColor m_color;
};

SymbolButton::SymbolButton(const QString &symbol, int size, const QColor &color,
                           const QString &tooltip, QWidget *parent)
    : QToolButton(parent), m_symbol(symbol), m_size(size), m_color(color)
{
    setAutoRaise(true);
    setName(tooltip);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(size + 8, size + 8);
    new FocusRing(this, 5);
}

void SymbolButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor color = m_color;
    if (isDown())
        color = style::withOpacity(color, 0.6);
    painter.drawImage(QPointF((width() - m_size) / 2.0, (height() - m_size) / 2.0),
                      symbolImage(m_symbol, QSizeF(m_size, m_size), color, devicePixelRatioF()));
}

AppIconView::AppIconView(QImage icon, QWidget *parent) : QWidget(parent), m_icon(std::move(icon))
{
    setFixedSize(40, 40);
}

void AppIconView::setIcon(const QImage &icon)
{
    m_icon = icon;
    update();
}

void AppIconView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect()), 10, 10);
    painter.setClipPath(outline);
    if (!m_icon.isNull())
        painter.drawImage(QRectF(rect()), m_icon);
    painter.setClipping(false);
    QPainterPath border;
    border.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 9.5, 9.5);
    painter.strokePath(border, QPen(style::primary(palette(), 0.08), 1));
}

AppRow::AppRow(const TrackedApp &app, QWidget *parent) : QWidget(parent), m_app(app)
{
    setAttribute(Qt::WA_Hover);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);

    m_icon = new AppIconView(app.icon, this);
    layout->addWidget(m_icon);

    auto *titleBlock = new QVBoxLayout;
    titleBlock->setSpacing(3);
    m_name = new ElidingLabel(this);
    m_name->setFont(style::font(this, 14, QFont::DemiBold, style::Design::Rounded));
    style::setLabelColor(m_name, style::primary(palette()));
    titleBlock->addWidget(m_name);
    auto *statusLine = new QHBoxLayout;
    statusLine->setSpacing(4);
    m_statusSymbol = new SymbolView(QStringLiteral("clock"), 9, style::gray, this);
    statusLine->addWidget(m_statusSymbol);
    m_status = style::label({}, style::font(this, 9), style::gray, this);
    statusLine->addWidget(m_status);
    statusLine->addStretch(1);
    titleBlock->addLayout(statusLine);
    layout->addLayout(titleBlock, 1);

    m_open = new SymbolButton(QStringLiteral("arrow.up.forward.app.fill"), 14, style::blue,
                              windowText::openApp, this);
    layout->addWidget(m_open);
    m_remove = new SymbolButton(QStringLiteral("xmark.circle.fill"), 16,
                                style::secondary(palette(), 0.5), windowText::stopTracking, this);
    layout->addWidget(m_remove);

    connect(m_open, &QToolButton::clicked, this, [this] { emit openRequested(m_app); });
    connect(m_remove, &QToolButton::clicked, this, [this] { emit removeRequested(m_app.id); });

    m_hoverAnimation.setDuration(hoverMilliseconds);
    m_hoverAnimation.setEasingCurve(QEasingCurve::InOutQuad);
    connect(&m_hoverAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
        m_backgroundOpacity = v.toReal();
        update();
    });

    m_openFailure.setSingleShot(true);
    m_openFailure.setInterval(5000);
    connect(&m_openFailure, &QTimer::timeout, this, [this] {
        m_shownFocus.reset(); // restores the status style
        showApp(m_app);
    });
    showApp(app);
}

void AppRow::showOpenFailure()
{
    m_openFailure.start();
    m_shownFocus.reset();
    m_statusSymbol->setSymbol(QStringLiteral("xmark.circle.fill"), style::red);
    m_status->setFont(style::font(this, 9, QFont::Bold));
    style::setLabelColor(m_status, style::red);
    m_status->setText(windowText::openFailed);
    m_status->setAccessibleName(windowText::openFailed);
}

void AppRow::showApp(const TrackedApp &app)
{
    // Called every second for every row: only what changed is touched.
    if (app.icon.cacheKey() != m_app.icon.cacheKey() || !m_shownFocus)
        m_icon->setIcon(app.icon);
    if (app.name != m_app.name || !m_shownFocus) {
        m_open->setName(windowText::openNamed(app.name));
        m_remove->setName(windowText::stopTrackingNamed(app.name));
    }
    m_app = app;
    m_name->setFullText(app.name);
    if (m_openFailure.isActive())
        return;
    if (m_shownFocus != app.isCurrentlyFocused) {
        m_shownFocus = app.isCurrentlyFocused;
        if (app.isCurrentlyFocused) {
            m_statusSymbol->setSymbol(QStringLiteral("circle.fill"), style::green);
            m_status->setFont(style::font(this, 9, QFont::Bold));
            style::setLabelColor(m_status, style::green);
        } else {
            m_statusSymbol->setSymbol(QStringLiteral("clock"), style::secondary(palette()));
            m_status->setFont(style::font(this, 9, QFont::Medium, style::Design::Monospaced));
            style::setLabelColor(m_status, style::secondary(palette()));
        }
    }
    const QString status =
        app.isCurrentlyFocused ? windowText::active : formatIdleTime(app.idleSeconds);
    if (status != m_status->text())
        m_status->setText(status);
}

void AppRow::setHovered(bool hovered)
{
    if (hovered == m_hovered)
        return;
    m_hovered = hovered;
    m_hoverAnimation.stop();
    m_hoverAnimation.setStartValue(m_backgroundOpacity);
    m_hoverAnimation.setEndValue(hovered ? hoveredOpacity : restingOpacity);
    m_hoverAnimation.start();
}

QToolButton *AppRow::openButton() const
{
    return m_open;
}

QToolButton *AppRow::removeButton() const
{
    return m_remove;
}

void AppRow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::PaletteChange)
        return;
    // The text colours come from the palette: take them again in the new one.
    m_remove->setColor(style::secondary(palette(), 0.5));
    style::setLabelColor(m_name, style::primary(palette()));
    if (!m_openFailure.isActive()) {
        m_shownFocus.reset();
        showApp(m_app);
    }
}

void AppRow::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    emit hoverChanged(this, true);
}

void AppRow::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    emit hoverChanged(this, false);
}

void AppRow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
    painter.fillPath(outline, style::primary(palette(), m_backgroundOpacity));
    painter.strokePath(outline, QPen(style::primary(palette(), 0.06), 1));
}

} // namespace nudgewatch
