#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace nudgewatch {

// Which frontmost-application backend a session needs. In a Wayland session
// the program's own windows run on Xwayland, whose active window is only ever
// an X11 one, so the desktop's own route is taken even when Qt runs on xcb.
enum class TrackerBackend {
    X11,
    Wlroots,    // foreign-toplevel management (sway, Hyprland, labwc, river, …)
    KWin,       // a KWin script calling back over D-Bus
    GnomeShell, // the program's own Shell extension
    None,
};

struct SessionFacts {
    QString sessionType;    // XDG_SESSION_TYPE
    QString currentDesktop; // XDG_CURRENT_DESKTOP, colon-separated
    bool hasWaylandDisplay = false;
    QString qtPlatform; // QGuiApplication::platformName()

    static SessionFacts fromEnvironment(const QProcessEnvironment &environment,
                                        const QString &qtPlatform);
};

bool isWaylandSession(const SessionFacts &facts);
// Whether XDG_CURRENT_DESKTOP names this desktop, in any case.
bool sessionDesktopIs(const SessionFacts &facts, QLatin1String desktop);
TrackerBackend trackerBackendFor(const SessionFacts &facts);

} // namespace nudgewatch
