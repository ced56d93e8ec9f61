#pragma once

#include <QRectF>

class QPainter;

namespace nudgewatch {

// Three faint white water layers filling the lower part of a rectangle. Keeps no
// state: it draws the phase it is given. The caller clips it to the card's shape.
class WaterRippleCanvas {
public:
    explicit WaterRippleCanvas(double phase) : m_phase(phase) {}

    void paint(QPainter &painter, const QRectF &rect) const;

private:
    double m_phase = 0;
};

} // namespace nudgewatch
