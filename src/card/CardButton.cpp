#include "card/CardButton.h"

namespace nudgewatch {

CardButton::CardButton(const QString &accessibleName, QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(accessibleName);
    setText(accessibleName);
    setCursor(Qt::ArrowCursor);
}

bool CardButton::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

} // namespace nudgewatch
