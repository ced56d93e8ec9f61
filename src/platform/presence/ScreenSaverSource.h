#pragma once

#include "core/Clock.h"
#include "core/PresenceSource.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <memory>

class QDBusServiceWatcher;

namespace nudgewatch {

// Screen lockers on the session bus that announce themselves with
// ActiveChanged(b): org.freedesktop.ScreenSaver (KDE, light-locker) and
// org.gnome.ScreenSaver, which GNOME Shell sends as org.gnome.Shell.ScreenShield.
// Locked while any of them says so; a locker that leaves the bus (or whose name
// passes to another program) no longer holds the screen locked.
class ScreenSaverSource final : public PresenceSource {
    Q_OBJECT
public:
    ScreenSaverSource(QDBusConnection sessionBus, const Clock &clock, QObject *parent = nullptr);
    ~ScreenSaverSource() override;

    QString name() const override { return QStringLiteral("screen saver"); }

private slots:
    void onFreedesktopActiveChanged(const QDBusMessage &message);
    void onGnomeActiveChanged(const QDBusMessage &message);
    void onGnomeRelayActiveChanged(const QDBusMessage &message);

private:
    struct Subscription {
        QString service, path, interface;
        const char *slot;
    };
    static const QList<Subscription> &subscriptions();
    void subscribe();
    void update(bool &lockerActive, const QDBusMessage &message);
    void announce();

    QDBusConnection m_bus;
    const Clock &m_clock;
    std::unique_ptr<QDBusServiceWatcher> m_watcher; // none until subscribed
    bool m_freedesktopActive = false;
    bool m_gnomeActive = false;      // GNOME Shell's screen shield
    bool m_gnomeRelayActive = false; // whoever holds org.gnome.ScreenSaver
};

} // namespace nudgewatch
