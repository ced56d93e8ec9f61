#include "platform/DesktopOpener.h"

#include "core/BundlePath.h"
#include "platform/linux/GioLauncher.h"
#include "platform/linux/PlatformLog.h"

namespace nudgewatch {

DesktopOpener::DesktopOpener(const GioLauncher &launcher, WindowRaiser raise)
    : m_launcher(launcher), m_raise(std::move(raise))
{
}

bool DesktopOpener::openApplication(const QString &bundlePath)
{
    const QString entryPath = standardizedPath(bundlePath);
    if (entryPath.isEmpty()) {
        qCDebug(lcPlatform) << "not an absolute entry path:" << bundlePath;
        return false;
    }
    if (m_raise && m_raise(entryPath))
        return true;
    return m_launcher.launch(entryPath);
}

} // namespace nudgewatch
