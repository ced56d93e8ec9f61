#include "platform/gnome/GnomeSession.h"

#include "platform/gnome/GnomeShellTracker.h"
#include "platform/gnome/MutterIdleSource.h"

#include <QDBusConnection>

namespace nudgewatch {

GnomeSession::GnomeSession(const DesktopEntryRegistry &entries, QObject *parent)
    : DesktopSession(parent)
{
    auto tracker = std::make_unique<GnomeShellTracker>(
        entries, QDBusConnection::sessionBus(),
        ShellExtensionFiles(ShellExtensionFiles::userExtensionsFolder()));
    m_raiser = tracker.get();
    m_tracker = std::move(tracker);
}

std::unique_ptr<DesktopSession> GnomeSession::open(const SessionFacts &,
                                                   const DesktopEntryRegistry &entries)
{
    return std::make_unique<GnomeSession>(entries);
}

std::function<bool()> GnomeSession::compositorCheck() const
{
    return [] {
        return true;
    };
}

PresenceSourceList GnomeSession::presenceSources(const PresenceSetup &setup, const Clock &clock)
{
    PresenceSourceList sources;
    const QDBusConnection sessionBus = QDBusConnection::sessionBus();
    if (sessionBus.isConnected())
        sources.push_back(
            std::make_unique<MutterIdleSource>(sessionBus, setup.noInputAfter, clock));
    return sources;
}

} // namespace nudgewatch
