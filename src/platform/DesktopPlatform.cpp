#include "platform/DesktopPlatform.h"

#include "platform/NullWorkspace.h"
#include "platform/linux/DesktopEntryBundleInfo.h"
#include "platform/linux/DesktopEntryRegistry.h"
#include "platform/linux/DesktopEntryScanner.h"
#include "platform/linux/DesktopIcons.h"
#include "platform/linux/GioApplicationCatalog.h"
#include "platform/linux/GioLauncher.h"
#include "platform/qt/LocalFileSystem.h"
#include "platform/x11/X11Workspace.h"

#include <QGuiApplication>

namespace nudgewatch {

DesktopPlatform::DesktopPlatform(QObject *parent)
    : QObject(parent), m_bundleInfo(std::make_unique<DesktopEntryBundleInfo>()),
      m_fileSystem(std::make_unique<LocalFileSystem>()),
      m_launcher(std::make_unique<GioLauncher>()),
      m_catalog(std::make_unique<GioApplicationCatalog>())
{
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    m_entries = std::make_unique<DesktopEntryRegistry>(applicationDirs(xdgDataDirs(environment)));
    m_icons = std::make_unique<DesktopIcons>(IconLookup::fromEnvironment(environment));
    connect(m_catalog.get(), &ApplicationCatalog::changed, this, [this] { m_entries->reload(); });
}

DesktopPlatform::~DesktopPlatform()
{
    // The workspace refers to the services below it.
    m_workspace.reset();
}

void DesktopPlatform::setIconThemeDeferred(bool deferred)
{
    m_icons->setThemeDeferred(deferred);
}

ApplicationCatalog &DesktopPlatform::catalog()
{
    return *m_catalog;
}

std::unique_ptr<DesktopPlatform> DesktopPlatform::create(QObject *parent)
{
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("xcb")) {
        std::unique_ptr<DesktopPlatform> desktop(new DesktopPlatform(parent));
        desktop->useNull(QStringLiteral("the windowing platform is \"%1\", not X11").arg(platform));
        return desktop;
    }
    return createWithConnection(XcbConnection::open(), parent);
}

std::unique_ptr<DesktopPlatform>
DesktopPlatform::createWithConnection(std::unique_ptr<XcbConnection> x, QObject *parent)
{
    std::unique_ptr<DesktopPlatform> desktop(new DesktopPlatform(parent));
    if (x)
        desktop->useX11(std::move(x));
    else
        desktop->useNull(QStringLiteral("no connection to the X server"));
    return desktop;
}

void DesktopPlatform::useX11(std::unique_ptr<XcbConnection> x)
{
    auto workspace = std::make_unique<X11Workspace>(
        std::move(x), X11WorkspaceServices{*m_entries, *m_icons, *m_launcher});
    connect(workspace.get(), &X11Workspace::connectionLost, this, &DesktopPlatform::connectionLost);
    m_workspace = std::move(workspace);
    m_tracksFrontmost = true;
}

void DesktopPlatform::useNull(const QString &reason)
{
    m_workspace = std::make_unique<NullWorkspace>(reason, m_icons.get(), m_launcher.get());
    m_tracksFrontmost = false;
}

} // namespace nudgewatch
