#include "platform/SessionTable.h"

#include "platform/gnome/GnomeDndSource.h"
#include "platform/gnome/GnomeSession.h"
#include "platform/kwin/KWinSession.h"
#include "platform/null/NullSession.h"
#include "platform/wlroots/WlrootsSession.h"
#include "platform/x11/X11Session.h"
#include "platform/xfce/XfceDndSource.h"
#include "platform/xfce/XfcePreferredApplications.h"

namespace nudgewatch {

namespace {

using D = SessionWing::Display;

// A new desktop is one folder beside these (its sources listed in
// CMakeLists.txt) and one row here, above the catch-alls: the first row that
// matches wins. Every other Wayland compositor is asked for foreign-toplevel
// management; one that lacks it is found out then. The null row stays last.
const SessionWing wings[] = {
    {QLatin1String("gnome"), D::Wayland, QLatin1String("GNOME"), {}, GnomeSession::open},
    {QLatin1String("kwin"), D::Wayland, QLatin1String("KDE"), {}, KWinSession::open},
    {QLatin1String("wlroots"), D::Wayland, {}, {}, WlrootsSession::open},
    {QLatin1String("x11"), D::X11, {}, QLatin1String("xcb"), X11Session::open},
    {QLatin1String("null"), D::Any, {}, {}, NullSession::open},
};

// Desktops with presence of their own on any display server.
const struct {
    QLatin1String desktop;
    PresenceSourceList (*presenceSources)(const PresenceSetup &setup, const Clock &clock);
} desktopPresence[] = {
    {QLatin1String("GNOME"), gnomePresenceSources},
    {QLatin1String("XFCE"), xfcePresenceSources},
};

// Desktops whose menu entries launch the user's preferred applications.
std::unique_ptr<LauncherEntries> (*const launchers[])() = {
    XfcePreferredApplications::forCurrentUser,
};

bool matches(const SessionWing &wing, const SessionFacts &facts)
{
    if (wing.display != D::Any && (wing.display == D::Wayland) != isWaylandSession(facts))
        return false;
    if (!wing.desktop.isEmpty() && !sessionDesktopIs(facts, wing.desktop))
        return false;
    return wing.qtPlatform.isEmpty() || facts.qtPlatform == wing.qtPlatform;
}

} // namespace

const SessionWing &sessionWingFor(const SessionFacts &facts)
{
    for (const SessionWing &wing : wings) {
        if (matches(wing, facts))
            return wing;
    }
    return std::end(wings)[-1];
}

PresenceSourceList desktopPresenceSources(const SessionFacts &facts, const PresenceSetup &setup,
                                          const Clock &clock)
{
    PresenceSourceList sources;
    for (const auto &desktop : desktopPresence) {
        if (!sessionDesktopIs(facts, desktop.desktop))
            continue;
        for (auto &source : desktop.presenceSources(setup, clock))
            sources.push_back(std::move(source));
    }
    return sources;
}

std::vector<std::unique_ptr<LauncherEntries>> installedLaunchers()
{
    std::vector<std::unique_ptr<LauncherEntries>> installed;
    for (const auto forCurrentUser : launchers)
        installed.push_back(forCurrentUser());
    return installed;
}

} // namespace nudgewatch
