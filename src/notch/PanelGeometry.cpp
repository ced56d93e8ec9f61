#include "notch/PanelGeometry.h"

#include <cmath>

namespace nudgewatch {

QRect panelWindowGeometry(const QRect &screenGeometry, double height)
{
    const int width = int(cardGeometry::cardWidth);
    // Integer centre: x + (w - 320) / 2, exact for even widths like 1512.
    const int x = screenGeometry.x() + (screenGeometry.width() - width) / 2;
    const int h = std::isfinite(height) ? int(std::lround(std::max(0.0, height))) : 0;
    return {x, screenGeometry.y(), width, h};
}

bool panelIsMapped(double height)
{
    return height >= 1.0;
}

QRect cardSurfaceInPanel(int panelHeight)
{
    const int total = int(cardGeometry::totalHeight);
    return {0, panelHeight - total, int(cardGeometry::cardWidth), total};
}

} // namespace nudgewatch
