#pragma once

#include <QRect>

#include <algorithm>
#include <cmath>

namespace nudgewatch {

// The device pixels a rectangle of logical points touches at `scale`, each
// partly covered pixel included; coordinates are held well inside int.
inline QRect devicePixels(const QRect &points, double scale)
{
    const auto pixel = [](double value) {
        constexpr double limit = 1 << 30;
        return int(std::clamp(value, -limit, limit));
    };
    return QRect(
        QPoint(pixel(std::floor(points.left() * scale)), pixel(std::floor(points.top() * scale))),
        QPoint(pixel(std::ceil((points.right() + 1) * scale)) - 1,
               pixel(std::ceil((points.bottom() + 1) * scale)) - 1));
}

} // namespace nudgewatch
