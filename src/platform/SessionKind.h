#pragma once

#include "platform/DesktopSession.h"
#include "platform/LauncherEntries.h"

#include <QProcessEnvironment>
#include <QString>

namespace nudgewatch {

class DesktopEntryRegistry;

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
    // A compositor's socket is there (WAYLAND_DISPLAY, or WAYLAND_SOCKET).
    bool hasWaylandDisplay = false;
    QString qtPlatform; // QGuiApplication::platformName()

    static SessionFacts fromEnvironment(const QProcessEnvironment &environment,
                                        const QString &qtPlatform);
};

// One desktop the program can follow: the sessions it matches and how its
// session is opened. The first row a session matches is its own.
struct SessionWing {
    TrackerBackend backend;
    enum class Display { Wayland, X11, Any } display;
    QLatin1String desktop;    // named in XDG_CURRENT_DESKTOP; empty for any
    QLatin1String qtPlatform; // empty for any
    std::unique_ptr<DesktopSession> (*open)(const SessionFacts &facts,
                                            const DesktopEntryRegistry &entries);
};

// Whether the program runs in a Wayland session, whatever XDG_SESSION_TYPE says.
bool isWaylandSession(const SessionFacts &facts);
// Whether XDG_CURRENT_DESKTOP names this desktop, in any case.
bool sessionDesktopIs(const SessionFacts &facts, QLatin1String desktop);
const SessionWing &sessionWingFor(const SessionFacts &facts);
// What a desktop offers whatever its session's wing (Xfce's Do Not Disturb).
PresenceSourceList desktopPresenceSources(const SessionFacts &facts, const PresenceSetup &setup,
                                          const Clock &clock);
TrackerBackend trackerBackendFor(const SessionFacts &facts);
// The launchers desktops install, in every session: a desktop's menu entries
// are there wherever its files are installed (Xfce's, say, under GNOME).
std::vector<std::unique_ptr<LauncherEntries>> installedLaunchers();

} // namespace nudgewatch
