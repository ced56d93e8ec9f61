#pragma once

// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include <gio/gdesktopappinfo.h>

namespace nudgewatch {

// The GIO and GObject functions the program calls, resolved from the libraries
// when first needed. Launching is rare; linking GIO instead would keep it and what it pulls in
// (GObject, libmount, libselinux, libblkid: about 1 MB) resident for the program's whole life.
// Only a GNOME session loads it at start, to follow its Do Not Disturb setting.
struct GioSymbols {
    decltype(&::g_app_info_launch) appInfoLaunch;
    decltype(&::g_app_launch_context_new) appLaunchContextNew;
    decltype(&::g_desktop_app_info_new_from_filename) desktopAppInfoNewFromFilename;
    decltype(&::g_desktop_app_info_new_from_keyfile) desktopAppInfoNewFromKeyfile;
    decltype(&::g_object_unref) objectUnref;
    decltype(&::g_settings_schema_source_get_default) settingsSchemaSourceGetDefault;
    decltype(&::g_settings_schema_source_lookup) settingsSchemaSourceLookup;
    decltype(&::g_settings_schema_get_key) settingsSchemaGetKey;
    decltype(&::g_settings_schema_has_key) settingsSchemaHasKey;
    decltype(&::g_settings_schema_key_get_value_type) settingsSchemaKeyGetValueType;
    decltype(&::g_settings_schema_key_unref) settingsSchemaKeyUnref;
    decltype(&::g_settings_schema_unref) settingsSchemaUnref;
    decltype(&::g_settings_new_full) settingsNewFull;
    decltype(&::g_settings_get_boolean) settingsGetBoolean;
    decltype(&::g_settings_set_boolean) settingsSetBoolean;
    decltype(&::g_settings_get_strv) settingsGetStrv;
    decltype(&::g_settings_set_strv) settingsSetStrv;
    decltype(&::g_settings_sync) settingsSync;
    decltype(&::g_strfreev) strfreev;
    decltype(&::g_signal_connect_data) signalConnectData;
    decltype(&::g_signal_handler_disconnect) signalHandlerDisconnect;
    decltype(&::g_variant_type_equal) variantTypeEqual;
};

// Loads GIO on the first call; null (and a debug message) when it cannot be
// loaded, which callers treat as nothing launched.
const GioSymbols *gioSymbols();

} // namespace nudgewatch
