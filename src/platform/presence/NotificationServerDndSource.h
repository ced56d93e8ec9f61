#pragma once

#include "core/Clock.h"
#include "core/PresenceSource.h"

#include <QDBusConnection>

#include <memory>

namespace nudgewatch {

class DBusBooleanProperty;

// Do Not Disturb as the running notification server tells it on
// /org/freedesktop/Notifications: Plasma's `Inhibited` property and dunst's
// `paused` (interface org.dunstproject.cmd0). Servers without either say
// nothing, and the source stays off.
class NotificationServerDndSource final : public PresenceSource {
    Q_OBJECT
public:
    NotificationServerDndSource(QDBusConnection sessionBus, const Clock &clock,
                                QObject *parent = nullptr);
    ~NotificationServerDndSource() override;

    QString name() const override { return QStringLiteral("notification server DND"); }

private:
    void announce();

    const Clock &m_clock;
    std::unique_ptr<DBusBooleanProperty> m_plasmaInhibited;
    std::unique_ptr<DBusBooleanProperty> m_dunstPaused;
    bool m_inhibited = false;
    bool m_paused = false;
};

} // namespace nudgewatch
