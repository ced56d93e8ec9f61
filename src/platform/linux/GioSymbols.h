#pragma once

// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include <gio/gdesktopappinfo.h>

namespace nudgewatch {

// The GIO and GObject functions the program calls, resolved from the libraries
// when first needed. The installed-application list and launching are rare;
// linking GIO instead would keep it and what it pulls in (GObject, libmount,
// libselinux, libblkid: about 1 MB) resident for the program's whole life.
struct GioSymbols {
    decltype(&::g_app_info_get_all) appInfoGetAll;
    decltype(&::g_app_info_should_show) appInfoShouldShow;
    decltype(&::g_app_info_get_id) appInfoGetId;
    decltype(&::g_app_info_get_name) appInfoGetName;
    decltype(&::g_app_info_get_description) appInfoGetDescription;
    decltype(&::g_app_info_launch) appInfoLaunch;
    decltype(&::g_app_info_monitor_get) appInfoMonitorGet;
    decltype(&::g_app_launch_context_new) appLaunchContextNew;
    decltype(&::g_desktop_app_info_get_type) desktopAppInfoGetType;
    decltype(&::g_desktop_app_info_get_filename) desktopAppInfoGetFilename;
    decltype(&::g_desktop_app_info_new_from_filename) desktopAppInfoNewFromFilename;
    decltype(&::g_type_check_instance_is_a) typeCheckInstanceIsA;
    decltype(&::g_signal_connect_data) signalConnectData;
    decltype(&::g_signal_handlers_disconnect_matched) signalHandlersDisconnectMatched;
    decltype(&::g_object_unref) objectUnref;

    bool isDesktopAppInfo(gpointer object) const
    {
        return object != nullptr &&
               typeCheckInstanceIsA(static_cast<GTypeInstance *>(object), desktopAppInfoGetType());
    }
};

// Loads GIO on the first call; null (and a debug message) when it cannot be
// loaded, which callers treat as no applications and nothing launched.
const GioSymbols *gioSymbols();

} // namespace nudgewatch
