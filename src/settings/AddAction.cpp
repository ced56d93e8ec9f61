#include "settings/AddAction.h"

#include "card/SymbolImage.h"
#include "settings/FocusRing.h"
#include "settings/SettingsStyle.h"
#include "settings/Symbol.h"
#include "settings/WindowText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace nudgewatch {

namespace {
constexpr int symbolSize = 20;
constexpr int spacing = 8;
constexpr int verticalPadding = 14;
} // namespace

AddAction::AddAction(QWidget *parent) : QAbstractButton(parent)
{
    setText(windowText::addApplication);
    setFont(style::font(this, 14, QFont::DemiBold, style::Design::Rounded));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    new FocusRing(this, 13);
}

QSize AddAction::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int contentWidth = symbolSize + spacing + metrics.horizontalAdvance(text());
    const int contentHeight = std::max(symbolSize, metrics.height());
    return {contentWidth + 2 * verticalPadding, contentHeight + 2 * verticalPadding};
}

void AddAction::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Focused, the button steps in to leave room for the ring around it.
    const qreal inset = hasFocus() ? FocusRing::width + 1 : 0;
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), 12 - inset / 2,
                           12 - inset / 2);
    QLinearGradient gradient(rect().topLeft(), rect().topRight());
    gradient.setColorAt(0, style::blue);
    gradient.setColorAt(1, style::purple);
    painter.fillPath(outline, gradient);
    if (isDown())
        painter.fillPath(outline, QColor(0, 0, 0, 40));

    const QFontMetrics metrics(font());
    const int textWidth = metrics.horizontalAdvance(text());
    const int contentWidth = symbolSize + spacing + textWidth;
    const qreal left = (width() - contentWidth) / 2.0;
    painter.drawImage(QPointF(left, (height() - symbolSize) / 2.0),
                      symbolImage(QStringLiteral("plus.circle.fill"),
                                  QSizeF(symbolSize, symbolSize), Qt::white, devicePixelRatioF()));
    painter.setPen(Qt::white);
    painter.setFont(font());
    painter.drawText(QRectF(left + symbolSize + spacing, 0, textWidth + 1, height()),
                     Qt::AlignVCenter | Qt::AlignLeft, text());
}

} // namespace nudgewatch
