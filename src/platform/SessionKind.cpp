#include "platform/SessionKind.h"

#include "platform/gnome/GnomeSession.h"
#include "platform/kwin/KWinSession.h"
#include "platform/null/NullSession.h"
#include "platform/wlroots/WlrootsSession.h"
#include "platform/x11/X11Session.h"
#include "platform/xfce/XfceDndSource.h"
#include "platform/xfce/XfcePreferredApplications.h"

#include <QFile>

#include <sys/stat.h>

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

// Whether a compositor's socket is where a Wayland client would connect: a
// leftover WAYLAND_DISPLAY from a compositor that is gone names nothing.
bool waylandSocketPresent(const QProcessEnvironment &environment)
{
    // A compositor that starts its client hands it a connected socket.
    if (!environment.value(QStringLiteral("WAYLAND_SOCKET")).isEmpty())
        return true;
    const QString name = environment.value(QStringLiteral("WAYLAND_DISPLAY"));
    if (name.isEmpty())
        return false;
    const QString runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!name.startsWith(QLatin1Char('/')) && runtime.isEmpty())
        return false;
    const QString path =
        name.startsWith(QLatin1Char('/')) ? name : runtime + QLatin1Char('/') + name;
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISSOCK(status.st_mode);
}

} // namespace

SessionFacts SessionFacts::fromEnvironment(const QProcessEnvironment &environment,
                                           const QString &qtPlatform)
{
    return {environment.value(QStringLiteral("XDG_SESSION_TYPE")),
            environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")),
            waylandSocketPresent(environment), qtPlatform};
}

bool isWaylandSession(const SessionFacts &facts)
{
    // A compositor's socket decides: sway started from a console login keeps
    // XDG_SESSION_TYPE=tty, and a client of a nested compositor inherits the
    // outer session's x11. There, Xwayland's active window is only ever an X11
    // one, so following it would miss every native window in front.
    if (facts.hasWaylandDisplay)
        return true;
    // A Wayland session whose compositor cannot be reached is still not X11:
    // its route says it cannot follow rather than follow the wrong windows.
    return facts.sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
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

std::vector<std::unique_ptr<LauncherEntries>> installedLaunchers()
{
    std::vector<std::unique_ptr<LauncherEntries>> installed;
    for (const auto forCurrentUser : launchers)
        installed.push_back(forCurrentUser());
    return installed;
}

} // namespace nudgewatch
