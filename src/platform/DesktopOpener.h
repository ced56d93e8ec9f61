#pragma once

#include "core/ApplicationOpener.h"

namespace nudgewatch {

class GioLauncher;
class WindowRaiser;

// Opens an entry the way the session allows: raises a window of it through the
// session's raiser when one is there, otherwise launches the entry with GIO.
class DesktopOpener final : public ApplicationOpener {
public:
    // `raiser` may be null: the session raises no window.
    DesktopOpener(const GioLauncher &launcher, WindowRaiser *raiser);

    bool openApplication(const QString &bundlePath) override;

private:
    const GioLauncher &m_launcher;
    WindowRaiser *m_raiser;
};

} // namespace nudgewatch
