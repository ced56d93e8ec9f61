#include "notch/PanelGeometry.h"

#include <algorithm>
#include <cmath>

namespace nudgewatch {

int cardMonitor(const std::vector<Monitor> &monitors, const FrontWindowPlace &place, int fallback)
{
    int best = -1;
    qint64 bestArea = 0;
    for (int i = 0; i < int(monitors.size()); ++i) {
        if (!place.monitor.isEmpty() && monitors[i].name == place.monitor)
            return i;
        const QRect shared = place.frame ? monitors[i].geometry & *place.frame : QRect();
        const qint64 area = qint64(shared.width()) * shared.height();
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    return best >= 0 ? best : fallback;
}

QRect panelWindowGeometry(const Monitor &monitor, double height)
{
    QRect window = panelWindowGeometry(monitor.geometry, height);
    const QRect free = monitor.workArea & monitor.geometry;
    if (!free.isEmpty()) {
        const int top = free.top() - int(cardGeometry::notchDrop);
        window.moveTop(
            std::clamp(top, monitor.geometry.top(),
                       std::max(monitor.geometry.top(),
                                monitor.geometry.bottom() + 1 - int(cardGeometry::totalHeight))));
    }
    // A monitor narrower than the card still holds its left edge.
    window.moveLeft(std::max(window.left(), monitor.geometry.left()));
    return window;
}

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
