#pragma once

#include "app/Services.h"

namespace nudgewatch {

class DesktopIcons;
class GioLauncher;

// For sessions where the desktop offers no way to follow the frontmost window
// (Wayland without XWayland, offscreen): reports no frontmost application and
// never an activation, and says so once on stderr. Icons and launching still
// work when they are given.
class NullWorkspace final : public Workspace {
    Q_OBJECT
public:
    explicit NullWorkspace(QString reason, const DesktopIcons *icons = nullptr,
                           const GioLauncher *launcher = nullptr, QObject *parent = nullptr);

    std::optional<RunningApplication> frontmostApplication() const override;
    bool openApplication(const QString &bundlePath) override;
    QImage iconForFile(const QString &path) const override;

private:
    void warnOnce() const;

    QString m_reason;
    const DesktopIcons *m_icons;
    const GioLauncher *m_launcher;
    mutable bool m_warned = false;
};

} // namespace nudgewatch
