#pragma once

#include <QWidget>

namespace nudgewatch {

// A 2-pixel ring in the highlight colour drawn over a control while it has the
// keyboard focus, whatever the control paints itself: keyboard users see where
// they are in both appearances.
class FocusRing final : public QWidget {
    Q_OBJECT
public:
    static constexpr int width = 2;

    // Follows `control` (and becomes its child); `radius` rounds its corners.
    explicit FocusRing(QWidget *control, qreal radius = 6);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_radius;
};

} // namespace nudgewatch
