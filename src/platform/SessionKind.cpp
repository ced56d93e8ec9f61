#include "platform/SessionKind.h"

#include "platform/gnome/GnomeSession.h"
#include "platform/kwin/KWinSession.h"
#include "platform/null/NullSession.h"
#include "platform/wlroots/WlrootsSession.h"
#include "platform/x11/X11Session.h"
#include "platform/xfce/XfceDndSource.h"

namespace nudgewatch {

namespace {

using D = SessionWing::Display;

// A new desktop is one folder beside these and one row here. Every other
// Wayland compositor is asked for foreign-toplevel management; one that lacks
// it is found out then.
const SessionWing wings[] = {
    {TrackerBackend::GnomeShell, D::Wayland, QLatin1String("GNOME"), {}, GnomeSession::open},
    {TrackerBackend::KWin, D::Wayland, QLatin1String("KDE"), {}, KWinSession::open},
    {TrackerBackend::Wlroots, D::Wayland, {}, {}, WlrootsSession::open},
    {TrackerBackend::X11, D::X11, {}, QLatin1String("xcb"), X11Session::open},
    {TrackerBackend::None, D::Any, {}, {}, NullSession::open},
};

// Desktops that run on any display server, with presence of their own.
const struct {
    QLatin1String desktop;
    PresenceSourceList (*presenceSources)(const PresenceSetup &setup, const Clock &clock);
} desktopPresence[] = {
    {QLatin1String("XFCE"), xfcePresenceSources},
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

SessionFacts SessionFacts::fromEnvironment(const QProcessEnvironment &environment,
                                           const QString &qtPlatform)
{
    return {environment.value(QStringLiteral("XDG_SESSION_TYPE")),
            environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")),
            !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty(), qtPlatform};
}

bool isWaylandSession(const SessionFacts &facts)
{
    if (facts.sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0)
        return true;
    // Compositors started by hand often leave XDG_SESSION_TYPE unset; an X11
    // session that also has a nested compositor's socket says x11.
    return facts.sessionType.isEmpty() && facts.hasWaylandDisplay;
}

bool sessionDesktopIs(const SessionFacts &facts, QLatin1String desktop)
{
    const auto desktops = QStringView(facts.currentDesktop).split(QLatin1Char(':'));
    for (const QStringView name : desktops) {
        if (name.compare(desktop, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

const SessionWing &sessionWingFor(const SessionFacts &facts)
{
    for (const SessionWing &wing : wings) {
        if (matches(wing, facts))
            return wing;
    }
    return std::end(wings)[-1];
}

TrackerBackend trackerBackendFor(const SessionFacts &facts)
{
    return sessionWingFor(facts).backend;
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

} // namespace nudgewatch
