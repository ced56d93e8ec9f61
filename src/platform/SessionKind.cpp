#include "platform/SessionKind.h"

namespace nudgewatch {

namespace {

bool desktopIs(const SessionFacts &facts, QLatin1String name)
{
    const auto desktops = QStringView(facts.currentDesktop).split(QLatin1Char(':'));
    for (const QStringView desktop : desktops) {
        if (desktop.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
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

TrackerBackend trackerBackendFor(const SessionFacts &facts)
{
    if (isWaylandSession(facts)) {
        if (desktopIs(facts, QLatin1String("GNOME")))
            return TrackerBackend::GnomeShell;
        if (desktopIs(facts, QLatin1String("KDE")))
            return TrackerBackend::KWin;
        // Every other compositor is asked for foreign-toplevel management;
        // one that lacks it is found out then.
        return TrackerBackend::Wlroots;
    }
    return facts.qtPlatform == QLatin1String("xcb") ? TrackerBackend::X11 : TrackerBackend::None;
}

bool sessionDesktopIs(const SessionFacts &facts, QLatin1String desktop)
{
    return desktopIs(facts, desktop);
}

} // namespace nudgewatch
