// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include <gio/gio.h>

#include "platform/gnome/GnomeDndSource.h"

#include "platform/freedesktop/PlatformLog.h"

#include <QTimer>

namespace nudgewatch {

namespace {

constexpr const char *schemaId = "org.gnome.desktop.notifications";
constexpr const char *bannersKey = "show-banners";

// The schema, when it is installed and has show-banners as a boolean.
GSettingsSchema *bannersSchema()
{
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    GSettingsSchema *schema =
        source ? g_settings_schema_source_lookup(source, schemaId, TRUE) : nullptr;
    if (schema == nullptr)
        return nullptr;
    bool boolean = false;
    if (g_settings_schema_has_key(schema, bannersKey)) {
        GSettingsSchemaKey *key = g_settings_schema_get_key(schema, bannersKey);
        boolean =
            g_variant_type_equal(g_settings_schema_key_get_value_type(key), G_VARIANT_TYPE_BOOLEAN);
        g_settings_schema_key_unref(key);
    }
    if (!boolean) {
        g_settings_schema_unref(schema);
        return nullptr;
    }
    return schema;
}

} // namespace

std::unique_ptr<GnomeDndSource> GnomeDndSource::create(const Clock &clock, QObject *parent)
{
    GSettingsSchema *schema = bannersSchema();
    if (schema == nullptr) {
        qCDebug(lcPlatform) << "no GSettings schema" << schemaId << "with" << bannersKey;
        return nullptr;
    }
    GSettings *settings = g_settings_new_full(schema, nullptr, nullptr);
    g_settings_schema_unref(schema);
    return std::unique_ptr<GnomeDndSource>(new GnomeDndSource(settings, clock, parent));
}

GnomeDndSource::GnomeDndSource(GSettings *settings, const Clock &clock, QObject *parent)
    : PresenceSource(parent), m_settings(settings), m_clock(clock)
{
    m_handler = g_signal_connect_data(m_settings, "changed::show-banners",
                                      G_CALLBACK(&GnomeDndSource::bannersChanged), this, nullptr,
                                      GConnectFlags(0));
    // Reading once subscribes GSettings to changes; the first value is
    // announced once whoever listens is connected.
    g_settings_get_boolean(m_settings, bannersKey);
    QTimer::singleShot(0, this, &GnomeDndSource::read);
}

GnomeDndSource::~GnomeDndSource()
{
    g_signal_handler_disconnect(m_settings, m_handler);
    g_object_unref(m_settings);
}

void GnomeDndSource::bannersChanged(GSettings *, const char *, void *self)
{
    static_cast<GnomeDndSource *>(self)->read();
}

void GnomeDndSource::read()
{
    // The switch in GNOME's message list is show-banners, inverted.
    const bool active = !g_settings_get_boolean(m_settings, bannersKey);
    if (active == m_active)
        return;
    m_active = active;
    emit conditionChanged(PresenceCondition::DoNotDisturb, active, m_clock.now());
}

} // namespace nudgewatch
