// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include <gio/gio.h>

#include "platform/freedesktop/PlatformLog.h"
#include "platform/gnome/ShellSettings.h"

#include <QStringList>

#include <memory>
#include <optional>

namespace nudgewatch {

namespace {

const char *const schemaId = "org.gnome.shell";
const char *const enabledKey = "enabled-extensions";
const char *const disableUserKey = "disable-user-extensions";
// A list longer than any real one is left as it is.
constexpr int longestList = 4096;

// GSettings aborts the process for a schema or key it does not know: both
// are looked up first.
struct ShellSchema {
    std::unique_ptr<GSettings, void (*)(gpointer)> settings{nullptr, nullptr};

    static std::optional<ShellSchema> open()
    {
        GSettingsSchemaSource *source = g_settings_schema_source_get_default();
        GSettingsSchema *schema =
            source ? g_settings_schema_source_lookup(source, schemaId, TRUE) : nullptr;
        if (schema == nullptr) {
            qCDebug(lcPlatform) << "no" << schemaId << "settings schema";
            return std::nullopt;
        }
        const bool complete = g_settings_schema_has_key(schema, enabledKey) &&
                              g_settings_schema_has_key(schema, disableUserKey);
        std::optional<ShellSchema> shell;
        if (complete)
            shell = ShellSchema{{g_settings_new_full(schema, nullptr, nullptr), g_object_unref}};
        g_settings_schema_unref(schema);
        return shell;
    }

    QStringList enabled() const
    {
        gchar **values = g_settings_get_strv(settings.get(), enabledKey);
        QStringList list;
        for (int i = 0; values != nullptr && values[i] != nullptr && i < longestList; ++i)
            list.append(QString::fromUtf8(values[i]));
        g_strfreev(values);
        return list;
    }
};

} // namespace

std::optional<bool> ShellSettings::isEnabled(const QString &uuid)
{
    const std::optional<ShellSchema> shell = ShellSchema::open();
    if (!shell)
        return std::nullopt;
    return !g_settings_get_boolean(shell->settings.get(), disableUserKey) &&
           shell->enabled().contains(uuid);
}

bool ShellSettings::enable(const QString &uuid)
{
    const std::optional<ShellSchema> shell = ShellSchema::open();
    if (!shell)
        return false;
    QStringList enabled = shell->enabled();
    bool written = true;
    if (!enabled.contains(uuid) && enabled.size() < longestList) {
        enabled.append(uuid);
        std::vector<QByteArray> bytes;
        std::vector<const gchar *> values;
        for (const QString &value : enabled)
            bytes.push_back(value.toUtf8());
        for (const QByteArray &value : bytes)
            values.push_back(value.constData());
        values.push_back(nullptr);
        written = g_settings_set_strv(shell->settings.get(), enabledKey, values.data());
    }
    if (g_settings_get_boolean(shell->settings.get(), disableUserKey))
        written = g_settings_set_boolean(shell->settings.get(), disableUserKey, FALSE) && written;
    // Written through to the settings store before the user logs out.
    g_settings_sync();
    return written && shell->enabled().contains(uuid);
}

} // namespace nudgewatch
