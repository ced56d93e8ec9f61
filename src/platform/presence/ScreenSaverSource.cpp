#include "platform/presence/ScreenSaverSource.h"

#include "platform/dbus/DBusMessages.h"

#include <QDBusServiceWatcher>
#include <QTimer>

namespace nudgewatch {

namespace {

const QString freedesktop = QStringLiteral("org.freedesktop.ScreenSaver");
const QString gnome = QStringLiteral("org.gnome.ScreenSaver");
const QString gnomeShell = QStringLiteral("org.gnome.Shell.ScreenShield");

} // namespace

const QList<ScreenSaverSource::Subscription> &ScreenSaverSource::subscriptions()
{
    // KDE exports the same object at both paths.
    static const QList<Subscription> all = {
        {freedesktop, QStringLiteral("/ScreenSaver"), freedesktop,
         SLOT(onFreedesktopActiveChanged(QDBusMessage))},
        {freedesktop, QStringLiteral("/org/freedesktop/ScreenSaver"), freedesktop,
         SLOT(onFreedesktopActiveChanged(QDBusMessage))},
        {gnomeShell, QStringLiteral("/org/gnome/ScreenSaver"), gnome,
         SLOT(onGnomeActiveChanged(QDBusMessage))},
        {gnome, QStringLiteral("/org/gnome/ScreenSaver"), gnome,
         SLOT(onGnomeRelayActiveChanged(QDBusMessage))},
    };
    return all;
}

ScreenSaverSource::ScreenSaverSource(QDBusConnection sessionBus, const Clock &clock,
                                     QObject *parent)
    : PresenceSource(parent), m_bus(std::move(sessionBus)), m_clock(clock)
{
    // Once the event loop runs: each subscription waits on the bus for its
    // service's owner, which would hold up the first window.
    QTimer::singleShot(0, this, &ScreenSaverSource::subscribe);
}

void ScreenSaverSource::subscribe()
{
    m_watcher = std::make_unique<QDBusServiceWatcher>(freedesktop, m_bus,
                                                      QDBusServiceWatcher::WatchForUnregistration |
                                                          QDBusServiceWatcher::WatchForOwnerChange);
    m_watcher->addWatchedService(gnomeShell);
    m_watcher->addWatchedService(gnome);
    for (const Subscription &s : subscriptions())
        m_bus.connect(s.service, s.path, s.interface, QStringLiteral("ActiveChanged"), this,
                      s.slot);
    // A locker that leaves the bus, or hands its name to another, takes its
    // word with it: the screen is no longer locked by it.
    connect(m_watcher.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &service, const QString &oldOwner, const QString &) {
                if (oldOwner.isEmpty())
                    return;
                if (service == freedesktop)
                    m_freedesktopActive = false;
                else if (service == gnomeShell)
                    m_gnomeActive = false;
                else
                    m_gnomeRelayActive = false;
                announce();
            });
}

ScreenSaverSource::~ScreenSaverSource()
{
    if (!m_watcher)
        return; // never subscribed
    for (const Subscription &s : subscriptions())
        m_bus.disconnect(s.service, s.path, s.interface, QStringLiteral("ActiveChanged"), this,
                         s.slot);
}

void ScreenSaverSource::onFreedesktopActiveChanged(const QDBusMessage &message)
{
    update(m_freedesktopActive, message);
}

void ScreenSaverSource::onGnomeActiveChanged(const QDBusMessage &message)
{
    update(m_gnomeActive, message);
}

void ScreenSaverSource::onGnomeRelayActiveChanged(const QDBusMessage &message)
{
    update(m_gnomeRelayActive, message);
}

void ScreenSaverSource::update(bool &lockerActive, const QDBusMessage &message)
{
    const std::optional<bool> active = booleanArgument(plainArguments(message));
    if (!active)
        return;
    lockerActive = *active;
    announce();
}

void ScreenSaverSource::announce()
{
    const bool locked = m_freedesktopActive || m_gnomeActive || m_gnomeRelayActive;
    report(PresenceCondition::ScreenLocked, locked, m_clock.now());
}

} // namespace nudgewatch
