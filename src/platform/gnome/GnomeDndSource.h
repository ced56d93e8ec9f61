#pragma once

#include "core/Clock.h"
#include "core/PresenceSource.h"

#include <memory>

struct _GSettings;

namespace nudgewatch {

// GNOME's Do Not Disturb switch, which is the GSettings key
// org.gnome.desktop.notifications show-banners turned off. Changes arrive as
// GSettings' changed signal through Qt's GLib event loop.
class GnomeDndSource final : public PresenceSource {
    Q_OBJECT
public:
    // None when GIO cannot be loaded or the schema, or a boolean show-banners
    // key in it, is not installed (opening a missing schema would end the process).
    static std::unique_ptr<GnomeDndSource> create(const Clock &clock, QObject *parent = nullptr);
    ~GnomeDndSource() override;

    QString name() const override { return QStringLiteral("GNOME DND"); }

private:
    GnomeDndSource(_GSettings *settings, const Clock &clock, QObject *parent);
    static void bannersChanged(_GSettings *settings, const char *key, void *self);
    void read();

    _GSettings *m_settings;
    unsigned long m_handler = 0;
    const Clock &m_clock;
    bool m_active = false;
};

} // namespace nudgewatch
