#pragma once

#include "core/ApplicationOpener.h"

#include <functional>

namespace nudgewatch {

class GioLauncher;

// Opens an entry the way the session allows: raises a window of it through the
// session's tracker when one is there, otherwise launches the entry with GIO.
class DesktopOpener final : public ApplicationOpener {
public:
    // Raises a window of the entry at the standard path given; false when the
    // session has none or cannot raise it. Empty: never raises.
    using WindowRaiser = std::function<bool(const QString &entryPath)>;

    DesktopOpener(const GioLauncher &launcher, WindowRaiser raise = {});

    bool openApplication(const QString &bundlePath) override;
    void setWindowRaiser(WindowRaiser raise) { m_raise = std::move(raise); }

private:
    const GioLauncher &m_launcher;
    WindowRaiser m_raise;
};

} // namespace nudgewatch
