#include "platform/presence/PresenceSources.h"

#include "platform/linux/PlatformLog.h"
#include "platform/presence/GnomeDndSource.h"
#include "platform/presence/LogindSource.h"
#include "platform/presence/MutterIdleSource.h"
#include "platform/presence/NotificationServerDndSource.h"
#include "platform/presence/ScreenSaverSource.h"
#include "platform/presence/WaylandIdleSource.h"
#include "platform/presence/X11FullscreenSource.h"
#include "platform/presence/X11IdleSource.h"
#include "platform/presence/XfceDndSource.h"

#include <QDBusConnection>

namespace nudgewatch {

namespace {

void addX11Sources(std::vector<std::unique_ptr<PresenceSource>> &sources,
                   const PresenceSetup &setup, const Clock &clock)
{
    // Each on its own connection, so neither reads the other's events.
    if (std::unique_ptr<XcbConnection> x = XcbConnection::open()) {
        if (auto idle = X11IdleSource::create(std::move(x), setup.noInputAfter, clock))
            sources.push_back(std::move(idle));
    }
    if (std::unique_ptr<XcbConnection> x = XcbConnection::open())
        sources.push_back(std::make_unique<X11FullscreenSource>(std::move(x), clock));
}

} // namespace

PresenceSetup PresenceSetup::fromEnvironment(const QProcessEnvironment &environment)
{
    PresenceSetup setup;
    setup.logindSessionId = environment.value(QStringLiteral("XDG_SESSION_ID"));
    return setup;
}

std::vector<std::unique_ptr<PresenceSource>>
createPresenceSources(const SessionFacts &facts, const PresenceSetup &setup, const Clock &clock)
{
    std::vector<std::unique_ptr<PresenceSource>> sources;
    const QDBusConnection sessionBus = QDBusConnection::sessionBus();
    const bool gnome = sessionDesktopIs(facts, QLatin1String("GNOME"));
    if (!isWaylandSession(facts)) {
        // Xwayland's idle counter misses input to Wayland windows, and its
        // active window is only ever an X11 one: X11 sources are for X11 sessions.
        addX11Sources(sources, setup, clock);
    } else if (gnome) {
        if (sessionBus.isConnected())
            sources.push_back(
                std::make_unique<MutterIdleSource>(sessionBus, setup.noInputAfter, clock));
    } else if (std::unique_ptr<WaylandConnection> wayland = WaylandConnection::open()) {
        // Its own connection, so no other client's events wait on it.
        if (auto idle = WaylandIdleSource::create(std::move(wayland), setup.noInputAfter, clock))
            sources.push_back(std::move(idle));
    }

    const QDBusConnection systemBus = QDBusConnection::systemBus();
    if (systemBus.isConnected())
        sources.push_back(std::make_unique<LogindSource>(systemBus, setup.logindSessionId, clock));
    if (sessionBus.isConnected()) {
        sources.push_back(std::make_unique<ScreenSaverSource>(sessionBus, clock));
        sources.push_back(std::make_unique<NotificationServerDndSource>(sessionBus, clock));
        if (sessionDesktopIs(facts, QLatin1String("XFCE")))
            sources.push_back(std::make_unique<XfceDndSource>(sessionBus, clock));
    }
    // Another desktop's notification settings may hold a stale show-banners.
    if (gnome) {
        if (auto dnd = GnomeDndSource::create(clock))
            sources.push_back(std::move(dnd));
    }
    for (const auto &source : sources) {
        QObject::connect(source.get(), &PresenceSource::conditionChanged, source.get(),
                         [source = source.get()](PresenceCondition condition, bool active) {
                             qCDebug(lcPlatform).noquote()
                                 << "presence:" << source->name()
                                 << presenceConditionName(condition) << (active ? "on" : "off");
                         });
    }
    return sources;
}

QLatin1String presenceConditionName(PresenceCondition condition)
{
    switch (condition) {
    case PresenceCondition::ScreenLocked:
        return QLatin1String("ScreenLocked");
    case PresenceCondition::Asleep:
        return QLatin1String("Asleep");
    case PresenceCondition::NoInput:
        return QLatin1String("NoInput");
    case PresenceCondition::Fullscreen:
        return QLatin1String("Fullscreen");
    case PresenceCondition::DoNotDisturb:
        return QLatin1String("DoNotDisturb");
    }
    return QLatin1String("?");
}

} // namespace nudgewatch
