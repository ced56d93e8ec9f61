// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include <gio/gio.h>

#include "platform/freedesktop/SettingsSchema.h"

#include "platform/freedesktop/KeyFile.h"
#include "platform/freedesktop/PlatformLog.h"

namespace nudgewatch {

std::unique_ptr<SettingsSchema> SettingsSchema::open(const char *schemaId, QObject *parent)
{
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    GSettingsSchema *schema =
        source ? g_settings_schema_source_lookup(source, schemaId, TRUE) : nullptr;
    if (schema == nullptr) {
        qCDebug(lcPlatform) << "no GSettings schema" << schemaId;
        return nullptr;
    }
    return std::unique_ptr<SettingsSchema>(new SettingsSchema(schema, parent));
}

SettingsSchema::SettingsSchema(GSettingsSchema *schema, QObject *parent)
    : QObject(parent), m_schema(schema), m_settings(g_settings_new_full(schema, nullptr, nullptr))
{
    m_handler = g_signal_connect_data(
        m_settings, "changed", G_CALLBACK(+[](GSettings *, const char *key, gpointer self) {
            emit static_cast<SettingsSchema *>(self)->changed(QString::fromUtf8(key));
        }),
        this, nullptr, GConnectFlags(0));
}

SettingsSchema::~SettingsSchema()
{
    g_signal_handler_disconnect(m_settings, m_handler);
    g_object_unref(m_settings);
    g_settings_schema_unref(m_schema);
}

bool SettingsSchema::holds(const char *key, const char *type) const
{
    if (!g_settings_schema_has_key(m_schema, key))
        return false;
    GSettingsSchemaKey *schemaKey = g_settings_schema_get_key(m_schema, key);
    const bool same =
        g_variant_type_equal(g_settings_schema_key_get_value_type(schemaKey), G_VARIANT_TYPE(type));
    g_settings_schema_key_unref(schemaKey);
    return same;
}

std::optional<QString> SettingsSchema::string(const char *key) const
{
    if (!holds(key, "s"))
        return std::nullopt;
    return takeGString(g_settings_get_string(m_settings, key));
}

std::optional<bool> SettingsSchema::boolean(const char *key) const
{
    if (!holds(key, "b"))
        return std::nullopt;
    return g_settings_get_boolean(m_settings, key) != FALSE;
}

std::optional<double> SettingsSchema::number(const char *key) const
{
    if (!holds(key, "d"))
        return std::nullopt;
    return g_settings_get_double(m_settings, key);
}

} // namespace nudgewatch
