#pragma once

#include "platform/session/CompositorSession.h"
#include "platform/session/SessionFacts.h"

namespace nudgewatch {

class DesktopEntryRegistry;

// A GNOME Shell session on Wayland: the program's own Shell extension reports
// the focus and raises windows over the session bus.
class GnomeSession final : public CompositorSession {
    Q_OBJECT
public:
    explicit GnomeSession(const DesktopEntryRegistry &entries, QObject *parent = nullptr);
    static std::unique_ptr<DesktopSession> open(const SessionFacts &facts,
                                                const DesktopEntryRegistry &entries);

    // Mutter's idle monitor (GNOME's "do not disturb" is the desktop's, in the session table).
    PresenceSourceList presenceSources(const PresenceSetup &setup, const Clock &clock) override;
    // The program's Shell extension blurs behind its windows.
    std::unique_ptr<WindowSystem> windowSystem(std::unique_ptr<WindowSystem> x11,
                                               Scheduler &scheduler) override;
};

} // namespace nudgewatch
