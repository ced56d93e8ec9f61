// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include <gio/gio.h>

#include "core/CReply.h"
#include "platform/freedesktop/KeyFile.h"
#include "platform/freedesktop/PlatformLog.h"
#include "platform/gnome/ShellSettings.h"

#include <QStringList>

#include <memory>
#include <optional>

namespace nudgewatch {

namespace {

const char *const schemaId = "org.gnome.shell";
const char *const enabledKey = "enabled-extensions";
const char *const disabledKey = "disabled-extensions";
const char *const disableUserKey = "disable-user-extensions";
// A list longer than any real one is left as it is.
constexpr int longestList = 4096;

// GSettings aborts the process for a schema or key it does not know: both
// are looked up first.
struct ShellSchema {
    CHandle<GSettings, g_object_unref> settings;

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
            shell = ShellSchema{
                CHandle<GSettings, g_object_unref>(g_settings_new_full(schema, nullptr, nullptr)),
                g_settings_schema_has_key(schema, disabledKey) != FALSE};
        g_settings_schema_unref(schema);
        return shell;
    }

    QStringList list(const char *key) const
    {
        return takeGStrv(g_settings_get_strv(settings.get(), key), longestList);
    }

    ShellExtensionLists lists() const
    {
        ShellExtensionLists lists{
            list(enabledKey), {}, g_settings_get_boolean(settings.get(), disableUserKey) != FALSE};
        if (hasDisabledList)
            lists.disabled = list(disabledKey);
        return lists;
    }

    bool write(const char *key, const QStringList &list) const
    {
        std::vector<QByteArray> bytes;
        std::vector<const gchar *> values;
        for (const QString &value : list)
            bytes.push_back(value.toUtf8());
        for (const QByteArray &value : bytes)
            values.push_back(value.constData());
        values.push_back(nullptr);
        return g_settings_set_strv(settings.get(), key, values.data());
    }

    // Shells before 3.36 have no disabled-extensions.
    bool hasDisabledList = false;
};

} // namespace

bool ShellExtensionLists::turnsOn(const QString &uuid) const
{
    return !userExtensionsOff && enabled.contains(uuid) && !disabled.contains(uuid);
}

ShellExtensionLists ShellExtensionLists::turnedOn(const QString &uuid) const
{
    ShellExtensionLists lists = *this;
    if (!lists.enabled.contains(uuid) && lists.enabled.size() < longestList)
        lists.enabled.append(uuid);
    // The shell leaves an extension off while it is listed here, whatever else says.
    lists.disabled.removeAll(uuid);
    lists.userExtensionsOff = false;
    return lists;
}

std::optional<bool> ShellSettings::isEnabled(const QString &uuid)
{
    const std::optional<ShellSchema> shell = ShellSchema::open();
    if (!shell)
        return std::nullopt;
    return shell->lists().turnsOn(uuid);
}

bool ShellSettings::enable(const QString &uuid)
{
    const std::optional<ShellSchema> shell = ShellSchema::open();
    if (!shell)
        return false;
    const ShellExtensionLists before = shell->lists();
    const ShellExtensionLists after = before.turnedOn(uuid);
    bool written = true;
    if (after.enabled != before.enabled)
        written = shell->write(enabledKey, after.enabled);
    if (after.disabled != before.disabled)
        written = shell->write(disabledKey, after.disabled) && written;
    if (before.userExtensionsOff)
        written = g_settings_set_boolean(shell->settings.get(), disableUserKey, FALSE) && written;
    // Written through to the settings store before the user logs out.
    g_settings_sync();
    return written && shell->lists().turnsOn(uuid);
}

} // namespace nudgewatch
