#pragma once

// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include <gio/gdesktopappinfo.h>

namespace nudgewatch {

// The GIO and GObject functions the program calls, resolved from the libraries
// when first needed. Launching is rare; linking GIO instead would keep it and what it pulls in
// (GObject, libmount, libselinux, libblkid: about 1 MB) resident for the program's whole life.
struct GioSymbols {
    decltype(&::g_app_info_launch) appInfoLaunch;
    decltype(&::g_app_launch_context_new) appLaunchContextNew;
    decltype(&::g_desktop_app_info_new_from_filename) desktopAppInfoNewFromFilename;
    decltype(&::g_desktop_app_info_new_from_keyfile) desktopAppInfoNewFromKeyfile;
    decltype(&::g_object_unref) objectUnref;
};

// Loads GIO on the first call; null (and a debug message) when it cannot be
// loaded, which callers treat as nothing launched.
const GioSymbols *gioSymbols();

} // namespace nudgewatch
