#pragma once

#include "core/Clock.h"
#include "core/PresenceSource.h"
#include "platform/session/DesktopSession.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>

#include <memory>

namespace nudgewatch {

class SettingsSchema;

// GNOME's Do Not Disturb switch, which is the GSettings key
// org.gnome.desktop.notifications show-banners turned off, while GNOME Shell
// runs on `bus`.
class GnomeDndSource final : public PresenceSource {
    Q_OBJECT
public:
    // None when the schema, or a boolean show-banners key in it, is not installed.
    static std::unique_ptr<GnomeDndSource> create(const QDBusConnection &bus, const Clock &clock,
                                                  QObject *parent = nullptr);
    ~GnomeDndSource() override;

    QString name() const override { return QStringLiteral("GNOME DND"); }

private:
    GnomeDndSource(std::unique_ptr<SettingsSchema> settings, const QDBusConnection &bus,
                   const Clock &clock, QObject *parent);
    void read();

    std::unique_ptr<SettingsSchema> m_settings;
    const Clock &m_clock;
    QDBusServiceWatcher m_shell;
    bool m_shellRuns = false;
};

// GNOME's own presence on any display server (GNOME on Xorg too): its Do Not
// Disturb switch, where the schema is installed.
PresenceSourceList gnomePresenceSources(const PresenceSetup &setup, const Clock &clock);

} // namespace nudgewatch
