#pragma once

#include <QRect>
#include <QString>

#include <functional>
#include <optional>

namespace nudgewatch {

// Where the window in front is, as far as the desktop session can tell: its
// frame in the desktop's coordinates (X11), or the name of the monitor that
// shows it (a Wayland compositor's output). Both empty: not known. With it, the
// part of the desktop its panels and docks leave free, where the session says
// (X11's work area, which Qt leaves out as soon as there are two monitors).
struct FrontWindowPlace {
    std::optional<QRect> frame;
    QString monitor;
    std::optional<QRect> workArea = {};
};

// Asked each time the card is about to drop; empty where the session cannot tell.
using FrontWindowLocator = std::function<FrontWindowPlace()>;

} // namespace nudgewatch
