#include "platform/DesktopOpener.h"

#include "core/BundlePath.h"
#include "core/WindowRaiser.h"
#include "platform/freedesktop/GioLauncher.h"
#include "platform/freedesktop/PlatformLog.h"

namespace nudgewatch {

DesktopOpener::DesktopOpener(const GioLauncher &launcher, WindowRaiser *raiser)
    : m_launcher(launcher), m_raiser(raiser)
{
}

bool DesktopOpener::openApplication(const QString &bundlePath)
{
    const QString entryPath = standardizedPath(bundlePath);
    if (entryPath.isEmpty()) {
        qCDebug(lcPlatform) << "not an absolute entry path:" << bundlePath;
        return false;
    }
    if (m_raiser && m_raiser->raiseWindowOf(entryPath))
        return true;
    return m_launcher.launch(entryPath);
}

} // namespace nudgewatch
