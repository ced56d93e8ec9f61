#include "notch/InputShape.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace nudgewatch {

namespace {

int16_t toCoordinate(double value)
{
    return static_cast<int16_t>(std::clamp<double>(std::floor(value),
                                                   std::numeric_limits<int16_t>::min(),
                                                   std::numeric_limits<int16_t>::max()));
}

uint16_t toLength(double value)
{
    return static_cast<uint16_t>(
        std::clamp<double>(std::ceil(value), 0, std::numeric_limits<uint16_t>::max()));
}

} // namespace

bool setInputShape(QWindow *window, const QRegion &region)
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || window == nullptr || x11->connection() == nullptr)
        return false;
    // X counts device pixels.
    const double scale = window->devicePixelRatio();
    std::vector<xcb_rectangle_t> rectangles;
    rectangles.reserve(size_t(region.rectCount()));
    for (const QRect &rect : region)
        rectangles.push_back({toCoordinate(rect.x() * scale), toCoordinate(rect.y() * scale),
                              toLength(rect.width() * scale), toLength(rect.height() * scale)});
    // No rectangles at all: an empty input shape, so every click passes through.
    xcb_shape_rectangles(x11->connection(), XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT,
                         XCB_CLIP_ORDERING_UNSORTED, xcb_window_t(window->winId()), 0, 0,
                         uint32_t(rectangles.size()), rectangles.data());
    xcb_flush(x11->connection());
    return true;
}

} // namespace nudgewatch
