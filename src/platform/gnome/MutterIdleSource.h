#pragma once

#include "core/Clock.h"
#include "core/PresenceSource.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <chrono>
#include <memory>
#include <optional>

class QDBusServiceWatcher;

namespace nudgewatch {

// No input in a GNOME Wayland session, from Mutter's idle monitor: an idle
// watch, which stays, says the user has been away for the threshold; a
// user-active watch, which fires once, is added each time to hear them return.
class MutterIdleSource final : public PresenceSource {
    Q_OBJECT
public:
    MutterIdleSource(QDBusConnection sessionBus, std::chrono::milliseconds threshold,
                     const Clock &clock, QObject *parent = nullptr);
    ~MutterIdleSource() override;

    QString name() const override { return QStringLiteral("GNOME idle"); }

private slots:
    void onWatchFired(const QDBusMessage &message);

private:
    enum class Watch { Idle, UserActive };
    void addWatch(Watch watch);
    void becameIdle();
    void set(bool idle, WallTime since);
    QDBusMessage call(const QString &method) const;

    QDBusConnection m_bus;
    const std::chrono::milliseconds m_threshold;
    const Clock &m_clock;
    std::unique_ptr<QDBusServiceWatcher> m_watcher;
    uint m_idleWatch = 0;
    uint m_activeWatch = 0;
    // A watch that fired before the reply naming it arrived.
    std::optional<uint> m_unclaimedFiring;
    bool m_askingIdleTime = false;
    quint64 m_returns = 0; // user-active firings, so a late answer is known as stale
};

} // namespace nudgewatch
