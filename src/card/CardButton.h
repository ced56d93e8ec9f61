#pragma once

#include <QAbstractButton>

namespace nudgewatch {

// A press target over a button the card paints itself (the card scales and fades
// as a whole, so its buttons are part of its picture). Acts on release over
// itself, never takes focus, and carries the accessible name.
class CardButton final : public QAbstractButton {
    Q_OBJECT
public:
    explicit CardButton(const QString &accessibleName, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *) override {}
    bool hitButton(const QPoint &pos) const override;
};

} // namespace nudgewatch
