#include "platform/freedesktop/GioSymbols.h"

#include "platform/freedesktop/PlatformLog.h"

#include <dlfcn.h>

#include <optional>

namespace nudgewatch {

namespace {

std::optional<GioSymbols> load()
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
        if (function == nullptr) {
            qCDebug(lcPlatform) << "GIO lacks" << name;
            complete = false;
        }
    };
    GioSymbols s{};
    resolve(s.appInfoLaunch, "g_app_info_launch");
    resolve(s.appLaunchContextNew, "g_app_launch_context_new");
    resolve(s.desktopAppInfoNewFromFilename, "g_desktop_app_info_new_from_filename");
    resolve(s.desktopAppInfoNewFromKeyfile, "g_desktop_app_info_new_from_keyfile");
    resolve(s.settingsSchemaSourceGetDefault, "g_settings_schema_source_get_default");
    resolve(s.settingsSchemaSourceLookup, "g_settings_schema_source_lookup");
    resolve(s.settingsSchemaGetKey, "g_settings_schema_get_key");
    resolve(s.settingsSchemaHasKey, "g_settings_schema_has_key");
    resolve(s.settingsSchemaKeyGetValueType, "g_settings_schema_key_get_value_type");
    resolve(s.settingsSchemaKeyUnref, "g_settings_schema_key_unref");
    resolve(s.settingsSchemaUnref, "g_settings_schema_unref");
    resolve(s.settingsNewFull, "g_settings_new_full");
    resolve(s.settingsGetBoolean, "g_settings_get_boolean");
    resolve(s.settingsSetBoolean, "g_settings_set_boolean");
    resolve(s.settingsGetStrv, "g_settings_get_strv");
    resolve(s.settingsSetStrv, "g_settings_set_strv");
    resolve(s.settingsSync, "g_settings_sync");
    // GObject's and GLib's, found through GIO, which depends on them.
    resolve(s.objectUnref, "g_object_unref");
    resolve(s.signalConnectData, "g_signal_connect_data");
    resolve(s.signalHandlerDisconnect, "g_signal_handler_disconnect");
    resolve(s.variantTypeEqual, "g_variant_type_equal");
    resolve(s.strfreev, "g_strfreev");
    if (!complete)
        return std::nullopt;
    return s;
}

} // namespace

const GioSymbols *gioSymbols()
{
    // The library binding of the process, like the dynamic linker's own: loaded once.
    static const std::optional<GioSymbols> symbols = load();
    return symbols ? &*symbols : nullptr;
}

} // namespace nudgewatch
