#pragma once

#include "core/ApplicationCatalog.h"
#include "core/ApplicationOpener.h"
#include "core/BundleInfo.h"
#include "core/FileSystem.h"
#include "core/FrontWindowPlace.h"
#include "core/FrontmostApplicationTracker.h"
#include "core/IconProvider.h"
#include "core/TrackedEntries.h"
#include "platform/session/SessionFacts.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace nudgewatch {

class DesktopEntryRegistry;
class DesktopIcons;
class DesktopOpener;
class DesktopApplicationCatalog;
class DesktopSession;
class GioLauncher;
class LauncherEntries;

// The desktop services of a Linux session, built once at start-up (after the
// QGuiApplication) and kept for the life of the program. One backend per
// service is picked for the running session:
//  - tracker(): the session's own (see SessionTable.cpp for the table of
//    desktops); the null tracker, and a line on stderr, where none can follow.
//  - opener(): raises a window through the session where it can, else launches.
//  - icons(): the icon theme is read once the first window is on its way;
//    iconsChanged() tells when.
//  - bundleInfo(), fileSystem(), catalog(): desktop entries and the installed
//    applications for the picker, kept current.
// connectionLost() is emitted once when the X server goes away; the program
// should then quit (a Wayland compositor's connection is mended by its
// tracker). Nothing here writes settings.
class DesktopPlatform final : public QObject {
    Q_OBJECT
public:
    using SessionOpener =
        std::function<std::unique_ptr<DesktopSession>(const DesktopEntryRegistry &entries)>;

    // The session's own wing, from the session table.
    static std::unique_ptr<DesktopPlatform> create(const SessionFacts &facts,
                                                   QObject *parent = nullptr);
    // The same for the session the environment and Qt's platform describe.
    static std::unique_ptr<DesktopPlatform> create(QObject *parent = nullptr);
    // A session of the caller's choosing, over this platform's entry index.
    static std::unique_ptr<DesktopPlatform> createWith(const SessionOpener &open,
                                                       QObject *parent = nullptr);
    ~DesktopPlatform() override;

    FrontmostApplicationTracker &tracker();
    ApplicationOpener &opener();
    IconProvider &icons();
    BundleInfo &bundleInfo() { return *m_bundleInfo; }
    FileSystem &fileSystem() { return *m_fileSystem; }
    ApplicationCatalog &catalog();
    // The session's own connections and presence sources; it outlives them.
    DesktopSession &session() { return *m_session; }
    // Whether translucent windows are blended by a compositing manager.
    std::function<bool()> compositorCheck() const;
    // Where the window in front is, asked anew at each call.
    FrontWindowLocator frontWindowLocator() const;
    // What the settings window should say of how the session is followed;
    // empty when nothing is unusual.
    QString sessionNote() const;
    // To be told the entries the user tracks: windows of those outside the
    // applications folders are recognised too, and a tracked launcher stands
    // for the application it starts.
    TrackedEntries &trackedEntries();

signals:
    void connectionLost();

private:
    explicit DesktopPlatform(QObject *parent);
    void use(std::unique_ptr<DesktopSession> session);

    // Installed launchers that stand for the applications they start.
    std::vector<std::unique_ptr<LauncherEntries>> m_launcherEntries;
    // The one index of desktop entries; the services below read it.
    std::unique_ptr<DesktopEntryRegistry> m_entries;
    std::unique_ptr<BundleInfo> m_bundleInfo;
    std::unique_ptr<FileSystem> m_fileSystem;
    std::unique_ptr<DesktopIcons> m_icons;
    std::unique_ptr<GioLauncher> m_launcher;
    std::unique_ptr<DesktopOpener> m_opener;
    std::unique_ptr<DesktopApplicationCatalog> m_catalog;
    std::unique_ptr<DesktopSession> m_session;
};

} // namespace nudgewatch
