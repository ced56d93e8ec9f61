// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include <gio/gio.h>

#include "platform/gnome/ShellSettings.h"
#include "platform/linux/PlatformLog.h"

#include <QStringList>

#include <dlfcn.h>

#include <memory>
#include <optional>

namespace nudgewatch {

namespace {

const char *const schemaId = "org.gnome.shell";
const char *const enabledKey = "enabled-extensions";
const char *const disableUserKey = "disable-user-extensions";
// A list longer than any real one is left as it is.
constexpr int longestList = 4096;

struct GSettingsSymbols {
    decltype(&::g_settings_schema_source_get_default) schemaSourceGetDefault;
    decltype(&::g_settings_schema_source_lookup) schemaSourceLookup;
    decltype(&::g_settings_schema_has_key) schemaHasKey;
    decltype(&::g_settings_schema_unref) schemaUnref;
    decltype(&::g_settings_new) settingsNew;
    decltype(&::g_settings_get_strv) getStrv;
    decltype(&::g_settings_set_strv) setStrv;
    decltype(&::g_settings_get_boolean) getBoolean;
    decltype(&::g_settings_set_boolean) setBoolean;
    decltype(&::g_settings_sync) sync;
    decltype(&::g_strfreev) strfreev;
    decltype(&::g_object_unref) objectUnref;
};

std::optional<GSettingsSymbols> load()
{
    // Never closed: GObject types cannot be unloaded once registered.
    void *gio = dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (gio == nullptr) {
        qCDebug(lcPlatform) << "GIO could not be loaded:" << dlerror();
        return std::nullopt;
    }
    bool complete = true;
    const auto resolve = [&](auto &function, const char *name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(gio, name));
        complete = complete && function != nullptr;
    };
    GSettingsSymbols s{};
    resolve(s.schemaSourceGetDefault, "g_settings_schema_source_get_default");
    resolve(s.schemaSourceLookup, "g_settings_schema_source_lookup");
    resolve(s.schemaHasKey, "g_settings_schema_has_key");
    resolve(s.schemaUnref, "g_settings_schema_unref");
    resolve(s.settingsNew, "g_settings_new");
    resolve(s.getStrv, "g_settings_get_strv");
    resolve(s.setStrv, "g_settings_set_strv");
    resolve(s.getBoolean, "g_settings_get_boolean");
    resolve(s.setBoolean, "g_settings_set_boolean");
    resolve(s.sync, "g_settings_sync");
    // GLib's and GObject's, found through GIO, which depends on them.
    resolve(s.strfreev, "g_strfreev");
    resolve(s.objectUnref, "g_object_unref");
    if (!complete) {
        qCDebug(lcPlatform) << "GIO lacks a GSettings function";
        return std::nullopt;
    }
    return s;
}

const GSettingsSymbols *symbols()
{
    static const std::optional<GSettingsSymbols> loaded = load();
    return loaded ? &*loaded : nullptr;
}

// GSettings aborts the process for a schema or key it does not know: both
// are looked up first.
struct ShellSchema {
    const GSettingsSymbols *g = nullptr;
    std::unique_ptr<GSettings, void (*)(gpointer)> settings{nullptr, nullptr};

    static std::optional<ShellSchema> open()
    {
        const GSettingsSymbols *g = symbols();
        GSettingsSchemaSource *source = g ? g->schemaSourceGetDefault() : nullptr;
        GSettingsSchema *schema = source ? g->schemaSourceLookup(source, schemaId, TRUE) : nullptr;
        if (schema == nullptr) {
            qCDebug(lcPlatform) << "no" << schemaId << "settings schema";
            return std::nullopt;
        }
        const bool complete =
            g->schemaHasKey(schema, enabledKey) && g->schemaHasKey(schema, disableUserKey);
        g->schemaUnref(schema);
        if (!complete)
            return std::nullopt;
        return ShellSchema{g, {g->settingsNew(schemaId), g->objectUnref}};
    }

    QStringList enabled() const
    {
        gchar **values = g->getStrv(settings.get(), enabledKey);
        QStringList list;
        for (int i = 0; values != nullptr && values[i] != nullptr && i < longestList; ++i)
            list.append(QString::fromUtf8(values[i]));
        g->strfreev(values);
        return list;
    }
};

} // namespace

std::optional<bool> ShellSettings::isEnabled(const QString &uuid)
{
    const std::optional<ShellSchema> shell = ShellSchema::open();
    if (!shell)
        return std::nullopt;
    return !shell->g->getBoolean(shell->settings.get(), disableUserKey) &&
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
        written = shell->g->setStrv(shell->settings.get(), enabledKey, values.data());
    }
    if (shell->g->getBoolean(shell->settings.get(), disableUserKey))
        written = shell->g->setBoolean(shell->settings.get(), disableUserKey, FALSE) && written;
    // Written through to the settings store before the user logs out.
    shell->g->sync();
    return written && shell->enabled().contains(uuid);
}

} // namespace nudgewatch
