#pragma once

#include "app/Services.h"

#include <QObject>

#include <memory>

namespace nudgewatch {

class DesktopEntryRegistry;
class DesktopIcons;
class GioApplicationCatalog;
class GioLauncher;
class XcbConnection;

// The desktop services of a Linux session, built once at start-up (after the
// QGuiApplication) and kept for the life of the program:
//  - workspace(): the X11 workspace when Qt runs on xcb and the X server
//    answers; otherwise a null workspace that reports no frontmost application
//    and says once on stderr that tracking is unavailable.
//  - bundleInfo(): names of desktop entries; fileSystem(): existence of paths;
//    catalog(): the installed applications for the picker, kept current.
// connectionLost() is emitted once when the X server goes away; the program
// should then quit (nothing is tracked any more). Nothing here writes settings.
// The returned pointer owns the object; `parent` only places it in a QObject tree
// (release() the pointer if the parent is to delete it).
class DesktopPlatform final : public QObject {
    Q_OBJECT
public:
    static std::unique_ptr<DesktopPlatform> create(QObject *parent = nullptr);
    // The X11 backend over an open connection; the null backend when it is null.
    static std::unique_ptr<DesktopPlatform> createWithConnection(std::unique_ptr<XcbConnection> x,
                                                                 QObject *parent = nullptr);
    ~DesktopPlatform() override;

    Workspace &workspace() { return *m_workspace; }
    BundleInfo &bundleInfo() { return *m_bundleInfo; }
    FileSystem &fileSystem() { return *m_fileSystem; }
    ApplicationCatalog &catalog();
    // While deferred, icons come without the icon theme (see DesktopIcons): for
    // the time before the first window is shown. Icons asked for meanwhile
    // should be asked for again afterwards.
    void setIconThemeDeferred(bool deferred);
    // Whether activations are followed (the X11 backend is in use).
    bool tracksFrontmostApplication() const { return m_tracksFrontmost; }

signals:
    void connectionLost();

private:
    explicit DesktopPlatform(QObject *parent);
    void useX11(std::unique_ptr<XcbConnection> x);
    void useNull(const QString &reason);

    std::unique_ptr<BundleInfo> m_bundleInfo;
    std::unique_ptr<FileSystem> m_fileSystem;
    std::unique_ptr<DesktopEntryRegistry> m_entries;
    std::unique_ptr<DesktopIcons> m_icons;
    std::unique_ptr<GioLauncher> m_launcher;
    std::unique_ptr<GioApplicationCatalog> m_catalog;
    std::unique_ptr<Workspace> m_workspace;
    bool m_tracksFrontmost = false;
};

} // namespace nudgewatch
