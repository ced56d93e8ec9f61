#pragma once

#include "platform/session/DesktopSession.h"
#include "platform/session/LauncherEntries.h"
#include "platform/session/SessionFacts.h"

#include <QString>

namespace nudgewatch {

class DesktopEntryRegistry;

// One desktop the program can follow: the sessions it matches and how its
// session is opened. The first row a session matches is its own. In a Wayland
// session the program's own windows run on Xwayland, whose active window is
// only ever an X11 one, so the desktop's own route is taken even when Qt runs
// on xcb.
struct SessionWing {
    QLatin1String name; // its folder under src/platform/
    enum class Display { Wayland, X11, Any } display;
    QLatin1String desktop;    // named in XDG_CURRENT_DESKTOP; empty for any
    QLatin1String qtPlatform; // empty for any
    std::unique_ptr<DesktopSession> (*open)(const SessionFacts &facts,
                                            const DesktopEntryRegistry &entries);
};

// The wing that follows this session; the null one when none can.
const SessionWing &sessionWingFor(const SessionFacts &facts);
// What a desktop offers whatever its session's wing (GNOME's and Xfce's Do Not Disturb).
PresenceSourceList desktopPresenceSources(const SessionFacts &facts, const PresenceSetup &setup,
                                          const Clock &clock);
// The launchers desktops install, in every session: a desktop's menu entries
// are there wherever its files are installed (Xfce's, say, under GNOME).
std::vector<std::unique_ptr<LauncherEntries>> installedLaunchers();

} // namespace nudgewatch
