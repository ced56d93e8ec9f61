#include "card/WaterRippleCanvas.h"

#include "card/RippleWaves.h"

#include <QPainter>

namespace nudgewatch {

void WaterRippleCanvas::paint(QPainter &painter, const QRectF &rect) const
{
    const auto waves = rippleWaves(m_phase, rect.size());
    painter.save();
    painter.translate(rect.topLeft());
    painter.setPen(Qt::NoPen);
    for (const RippleWave &wave : waves) {
        if (!(wave.opacity > 0))
            continue; // invisible: at rest the layer costs nothing
        painter.setBrush(QColor::fromRgbF(1, 1, 1, float(wave.opacity)));
        painter.drawPolygon(wave.outline, Qt::WindingFill);
    }
    painter.restore();
}

} // namespace nudgewatch
