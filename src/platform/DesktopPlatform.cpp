#include "platform/DesktopPlatform.h"

#include "platform/DesktopOpener.h"
#include "platform/NullFrontmostTracker.h"
#include "platform/SessionKind.h"
#include "platform/gnome/GnomeShellTracker.h"
#include "platform/kde/KWinScriptTracker.h"
#include "platform/linux/DesktopApplicationCatalog.h"
#include "platform/linux/DesktopEntryBundleInfo.h"
#include "platform/linux/DesktopEntryRegistry.h"
#include "platform/linux/DesktopEntryScanner.h"
#include "platform/linux/DesktopIcons.h"
#include "platform/linux/GioLauncher.h"
#include "platform/linux/XdgFolders.h"
#include "platform/qt/LocalFileSystem.h"
#include "platform/wayland/ForeignToplevelTracker.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/x11/CompositorProbe.h"
#include "platform/x11/X11FrontmostTracker.h"

#include <QGuiApplication>
#include <QTimer>

#include <cstdio>

namespace nudgewatch {

DesktopPlatform::DesktopPlatform(QObject *parent)
    : QObject(parent), m_bundleInfo(std::make_unique<DesktopEntryBundleInfo>()),
      m_fileSystem(std::make_unique<LocalFileSystem>()),
      m_launcher(std::make_unique<GioLauncher>()),
      m_opener(std::make_unique<DesktopOpener>(*m_launcher)),
      m_catalog(std::make_unique<DesktopApplicationCatalog>())
{
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    m_entries = std::make_unique<DesktopEntryRegistry>(applicationDirs(xdgDataDirs(environment)));
    m_icons = std::make_unique<DesktopIcons>(IconLookup::fromEnvironment(environment));
    connect(m_catalog.get(), &ApplicationCatalog::changed, this, [this] { m_entries->reload(); });
    // Reading an icon theme's index would hold up the first window; icons come
    // from the theme from the next turn of the event loop on.
    m_icons->setThemeDeferred(true);
    QTimer::singleShot(0, m_icons.get(),
                       [icons = m_icons.get()] { icons->setThemeDeferred(false); });
}

DesktopPlatform::~DesktopPlatform()
{
    // The opener and the tracker refer to the services below them.
    m_opener.reset();
    m_tracker.reset();
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

void DesktopPlatform::setTrackedEntries(const QStringList &paths)
{
    m_entries->setTrackedEntries(paths);
}

std::unique_ptr<DesktopPlatform> DesktopPlatform::create(QObject *parent)
{
    const SessionFacts facts = SessionFacts::fromEnvironment(
        QProcessEnvironment::systemEnvironment(), QGuiApplication::platformName());
    const TrackerBackend backend = trackerBackendFor(facts);
    if (backend == TrackerBackend::X11)
        return createWithConnection(XcbConnection::open(), parent);
    std::unique_ptr<DesktopPlatform> desktop(new DesktopPlatform(parent));
    if (backend == TrackerBackend::None) {
        desktop->useNull(
            QStringLiteral("the windowing platform is \"%1\", not X11").arg(facts.qtPlatform));
        return desktop;
    }
    // The program's windows are Xwayland clients, which the compositor blends.
    desktop->m_compositorCheck = [] {
        return true;
    };
    desktop->useWayland(backend);
    return desktop;
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
    auto tracker = std::make_unique<X11FrontmostTracker>(std::move(x), *m_entries);
    connect(tracker.get(), &X11FrontmostTracker::connectionLost, this,
            &DesktopPlatform::connectionLost);
    m_opener->setWindowRaiser(
        [raiser = tracker.get()](const QString &path) { return raiser->raiseWindowOf(path); });
    m_compositorCheck = compositingManagerRunning;
    m_tracker = std::move(tracker);
}

void DesktopPlatform::useWayland(TrackerBackend backend)
{
    switch (backend) {
    case TrackerBackend::Wlroots: {
        // A broken connection is the tracker's to mend: it connects again.
        QString whyNot;
        auto tracker = ForeignToplevelTracker::create([] { return WaylandConnection::open(); },
                                                      *m_entries, &whyNot);
        if (!tracker)
            return useNull(whyNot);
        m_opener->setWindowRaiser(
            [raiser = tracker.get()](const QString &path) { return raiser->raiseWindowOf(path); });
        m_tracker = std::move(tracker);
        return;
    }
    case TrackerBackend::KWin: {
        auto tracker =
            std::make_unique<KWinScriptTracker>(*m_entries, QDBusConnection::sessionBus());
        const QString error = tracker->start();
        if (!error.isEmpty())
            return useNull(QStringLiteral("KWin did not run the program's script: %1").arg(error));
        m_opener->setWindowRaiser(
            [raiser = tracker.get()](const QString &path) { return raiser->raiseWindowOf(path); });
        m_tracker = std::move(tracker);
        return;
    }
    case TrackerBackend::GnomeShell: {
        auto tracker = std::make_unique<GnomeShellTracker>(
            *m_entries, QDBusConnection::sessionBus(),
            ShellExtensionFiles(ShellExtensionFiles::userExtensionsFolder()));
        m_opener->setWindowRaiser(
            [raiser = tracker.get()](const QString &path) { return raiser->raiseWindowOf(path); });
        m_tracker = std::move(tracker);
        return;
    }
    case TrackerBackend::X11:
    case TrackerBackend::None:
        break;
    }
    useNull(QStringLiteral("this Wayland desktop offers no way to follow the front window"));
}

void DesktopPlatform::useNull(const QString &reason)
{
    std::fprintf(stderr,
                 "nudgewatch: frontmost application tracking is unavailable in this session (%s)\n",
                 qPrintable(reason));
    m_tracker = std::make_unique<NullFrontmostTracker>(
        tr("Nudgewatch cannot see which application is in front on this desktop, so it does "
           "not remind you: a reminder now could be about the application you are using."));
}

} // namespace nudgewatch
