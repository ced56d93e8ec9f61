#pragma once

#include "core/Clock.h"
#include "core/PresenceSource.h"
#include "platform/session/DesktopSession.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace nudgewatch {

// Xfce's Do Not Disturb: xfce4-notifyd's /do-not-disturb setting, followed
// through xfconf's PropertyChanged and PropertyRemoved signals. A setting never
// made is off.
class XfceDndSource final : public PresenceSource {
    Q_OBJECT
public:
    XfceDndSource(QDBusConnection sessionBus, const Clock &clock, QObject *parent = nullptr);
    ~XfceDndSource() override;

    QString name() const override { return QStringLiteral("Xfce DND"); }

private slots:
    void onPropertySignal(const QDBusMessage &message);

private:
    void set(bool active);

    QDBusConnection m_bus;
    const Clock &m_clock;
};

// The presence only Xfce offers, on any display server.
PresenceSourceList xfcePresenceSources(const PresenceSetup &setup, const Clock &clock);

} // namespace nudgewatch
