#include "platform/gnome/GnomeSession.h"

#include "platform/gnome/GnomeShellTracker.h"
#include "platform/gnome/MutterIdleSource.h"
#include "platform/gnome/ShellBlurWindowSystem.h"

#include <QDBusConnection>

namespace nudgewatch {

GnomeSession::GnomeSession(const DesktopEntryRegistry &entries, QObject *parent)
    : CompositorSession(parent)
{
    follow(std::make_unique<GnomeShellTracker>(
        entries, QDBusConnection::sessionBus(),
        ShellExtensionFiles(ShellExtensionFiles::userExtensionsFolder())));
}

std::unique_ptr<DesktopSession> GnomeSession::open(const SessionFacts &,
                                                   const DesktopEntryRegistry &entries)
{
    return std::make_unique<GnomeSession>(entries);
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

std::unique_ptr<WindowSystem> GnomeSession::windowSystem(std::unique_ptr<WindowSystem> x11,
                                                         Scheduler &scheduler)
{
    const QDBusConnection sessionBus = QDBusConnection::sessionBus();
    if (!sessionBus.isConnected())
        return x11;
    return std::make_unique<ShellBlurWindowSystem>(std::move(x11), sessionBus, scheduler);
}

} // namespace nudgewatch
