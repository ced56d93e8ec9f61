#include "platform/linux/GioSymbols.h"

#include "platform/linux/PlatformLog.h"

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
    // GObject's, found through GIO, which depends on it.
    resolve(s.objectUnref, "g_object_unref");
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
