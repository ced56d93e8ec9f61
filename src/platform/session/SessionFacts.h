#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace nudgewatch {

// What the environment says of the desktop session the program runs in.
struct SessionFacts {
    QString sessionType;    // XDG_SESSION_TYPE
    QString currentDesktop; // XDG_CURRENT_DESKTOP, colon-separated
    // A compositor's socket is there (WAYLAND_DISPLAY, or WAYLAND_SOCKET).
    bool hasWaylandDisplay = false;
    QString qtPlatform; // QGuiApplication::platformName()

    static SessionFacts fromEnvironment(const QProcessEnvironment &environment,
                                        const QString &qtPlatform);
};

// Whether the program runs in a Wayland session, whatever XDG_SESSION_TYPE says.
bool isWaylandSession(const SessionFacts &facts);
// Whether XDG_CURRENT_DESKTOP names this desktop, in any case.
bool sessionDesktopIs(const SessionFacts &facts, QLatin1String desktop);
// The same for XDG_CURRENT_DESKTOP's colon-separated value on its own.
bool currentDesktopIs(QStringView currentDesktop, QLatin1String desktop);

} // namespace nudgewatch
