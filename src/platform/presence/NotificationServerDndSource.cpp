#include "platform/presence/NotificationServerDndSource.h"

#include "platform/dbus/DBusBooleanProperty.h"

namespace nudgewatch {

namespace {

const QString notifications = QStringLiteral("org.freedesktop.Notifications");
const QString notificationsPath = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

NotificationServerDndSource::NotificationServerDndSource(QDBusConnection sessionBus,
                                                         const Clock &clock, QObject *parent)
    : PresenceSource(parent), m_clock(clock),
      m_plasmaInhibited(std::make_unique<DBusBooleanProperty>(sessionBus, notifications,
                                                              notificationsPath, notifications,
                                                              QStringLiteral("Inhibited"))),
      m_dunstPaused(std::make_unique<DBusBooleanProperty>(
          sessionBus, notifications, notificationsPath, QStringLiteral("org.dunstproject.cmd0"),
          QStringLiteral("paused")))
{
    connect(m_plasmaInhibited.get(), &DBusBooleanProperty::valueChanged, this, [this](bool on) {
        m_inhibited = on;
        announce();
    });
    connect(m_dunstPaused.get(), &DBusBooleanProperty::valueChanged, this, [this](bool on) {
        m_paused = on;
        announce();
    });
}

NotificationServerDndSource::~NotificationServerDndSource() = default;

void NotificationServerDndSource::announce()
{
    const bool active = m_inhibited || m_paused;
    report(PresenceCondition::DoNotDisturb, active, m_clock.now());
}

} // namespace nudgewatch
