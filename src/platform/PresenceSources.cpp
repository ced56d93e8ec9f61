#include "platform/PresenceSources.h"

#include "platform/TrackerFullscreenSource.h"
#include "platform/freedesktop/PlatformLog.h"
#include "platform/presence/LogindSource.h"
#include "platform/presence/NotificationServerDndSource.h"
#include "platform/presence/ScreenSaverSource.h"

#include <QDBusConnection>

namespace nudgewatch {

PresenceSourceList createPresenceSources(DesktopSession &session, const SessionFacts &facts,
                                         const PresenceSetup &setup, const Clock &clock)
{
    // Xwayland's idle counter misses input to Wayland windows, and its active
    // window is only ever an X11 one: each session has its own.
    PresenceSourceList sources = session.presenceSources(setup, clock);
    for (auto &source : desktopPresenceSources(facts, setup, clock))
        sources.push_back(std::move(source));

    const QDBusConnection systemBus = QDBusConnection::systemBus();
    if (systemBus.isConnected())
        sources.push_back(std::make_unique<LogindSource>(systemBus, setup.logindSessionId, clock));
    const QDBusConnection sessionBus = QDBusConnection::sessionBus();
    if (sessionBus.isConnected()) {
        sources.push_back(std::make_unique<ScreenSaverSource>(sessionBus, clock));
        sources.push_back(std::make_unique<NotificationServerDndSource>(sessionBus, clock));
    }
    // On Wayland the compositor's route knows when the window in front is fullscreen.
    if (session.tracker().reportsFullscreen())
        sources.push_back(std::make_unique<TrackerFullscreenSource>(
            session.tracker(), QStringLiteral("desktop fullscreen"), clock));
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
