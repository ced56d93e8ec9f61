#include "settings/FocusRing.h"

#include <QEvent>
#include <QPainter>

namespace nudgewatch {

FocusRing::FocusRing(QWidget *control, qreal radius) : QWidget(control), m_radius(radius)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    // Decoration only: assistive technologies know the focus from the control.
    setAccessibleName({});
    setGeometry(control->rect());
    setVisible(control->hasFocus());
    control->installEventFilter(this);
}

bool FocusRing::eventFilter(QObject *watched, QEvent *event)
{
    auto *control = static_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        setVisible(control->hasFocus());
        raise();
        break;
    case QEvent::Resize:
        setGeometry(control->rect());
        break;
    default:
        break;
    }
    return false;
}

void FocusRing::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The window's highlight: a control may tint its own (the slider's groove).
    painter.setPen(QPen(window()->palette().color(QPalette::Highlight), width));
    painter.setBrush(Qt::NoBrush);
    const qreal half = width / 2.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), m_radius, m_radius);
}

} // namespace nudgewatch
