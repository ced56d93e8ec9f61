#include "platform/DesktopPlatform.h"

#include "platform/DesktopOpener.h"
#include "platform/SessionTable.h"
#include "platform/appearance/DesktopSettingsFiles.h"
#include "platform/freedesktop/DesktopApplicationCatalog.h"
#include "platform/freedesktop/DesktopEntryBundleInfo.h"
#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/freedesktop/DesktopIcons.h"
#include "platform/freedesktop/GioLauncher.h"
#include "platform/qt/LocalFileSystem.h"

#include <QGuiApplication>
#include <QTimer>

namespace nudgewatch {

DesktopPlatform::DesktopPlatform(QObject *parent)
    : QObject(parent), m_launcherEntries(installedLaunchers()),
      m_entries(std::make_unique<DesktopEntryRegistry>(
          [this](const QStringList &tracked, const std::vector<DesktopEntry> &entries) {
              QHash<QString, QString> launcherFor;
              for (const auto &launchers : m_launcherEntries)
                  launcherFor.insert(launchers->standIns(tracked, entries));
              return launcherFor;
          })),
      m_bundleInfo(std::make_unique<DesktopEntryBundleInfo>(*m_entries)),
      m_fileSystem(std::make_unique<LocalFileSystem>()),
      m_icons(std::make_unique<DesktopIcons>(
          *m_entries, IconLookup::forDesktop(desktopIconTheme(gtkConfigDirs())))),
      m_launcher(std::make_unique<GioLauncher>()),
      m_catalog(std::make_unique<DesktopApplicationCatalog>(*m_entries))
{
    m_catalog->setEntryFilter([this](std::vector<DesktopEntry> &entries) {
        for (const auto &launchers : m_launcherEntries)
            launchers->offerLaunchedApplications(entries);
    });
    // Reading an icon theme's index would hold up the first window; icons come
    // from the theme from the next turn of the event loop on.
    QTimer::singleShot(0, m_icons.get(),
                       [icons = m_icons.get()] { icons->setThemeDeferred(false); });
}

DesktopPlatform::~DesktopPlatform()
{
    // The opener and the session refer to the services below them.
    m_opener.reset();
    m_session.reset();
}

void DesktopPlatform::use(std::unique_ptr<DesktopSession> session)
{
    m_session = std::move(session);
    connect(m_session.get(), &DesktopSession::connectionLost, this,
            &DesktopPlatform::connectionLost);
    m_opener = std::make_unique<DesktopOpener>(*m_launcher, m_session->raiser());
}

FrontmostApplicationTracker &DesktopPlatform::tracker()
{
    return m_session->tracker();
}

std::function<bool()> DesktopPlatform::compositorCheck() const
{
    return m_session->compositorCheck();
}

FrontWindowLocator DesktopPlatform::frontWindowLocator() const
{
    return [session = m_session.get()] {
        return session->frontWindowPlace();
    };
}

QString DesktopPlatform::sessionNote() const
{
    return m_session->note();
}

ApplicationOpener &DesktopPlatform::opener()
{
    return *m_opener;
}

IconProvider &DesktopPlatform::icons()
{
    return *m_icons;
}

ApplicationCatalog &DesktopPlatform::catalog()
{
    return *m_catalog;
}

TrackedEntries &DesktopPlatform::trackedEntries()
{
    return *m_entries;
}

std::unique_ptr<DesktopPlatform> DesktopPlatform::create(QObject *parent)
{
    return create(SessionFacts::fromEnvironment(QProcessEnvironment::systemEnvironment(),
                                                QGuiApplication::platformName()),
                  parent);
}

std::unique_ptr<DesktopPlatform> DesktopPlatform::create(const SessionFacts &facts, QObject *parent)
{
    return createWith(
        [&facts](const DesktopEntryRegistry &entries) {
            return sessionWingFor(facts).open(facts, entries);
        },
        parent);
}

std::unique_ptr<DesktopPlatform> DesktopPlatform::createWith(const SessionOpener &open,
                                                             QObject *parent)
{
    std::unique_ptr<DesktopPlatform> desktop(new DesktopPlatform(parent));
    desktop->use(open(*desktop->m_entries));
    return desktop;
}

} // namespace nudgewatch
