#pragma once

#include "platform/session/DesktopSession.h"
#include "platform/session/SessionFacts.h"

namespace nudgewatch {

class DesktopEntryRegistry;

// A GNOME Shell session on Wayland: the program's own Shell extension reports
// the focus and raises windows over the session bus.
class GnomeSession final : public DesktopSession {
    Q_OBJECT
public:
    explicit GnomeSession(const DesktopEntryRegistry &entries, QObject *parent = nullptr);
    static std::unique_ptr<DesktopSession> open(const SessionFacts &facts,
                                                const DesktopEntryRegistry &entries);

    FrontmostApplicationTracker &tracker() override { return *m_tracker; }
    WindowRaiser *raiser() override { return m_raiser; }
    // The program's windows are Xwayland clients, which the Shell blends.
    std::function<bool()> compositorCheck() const override;

    // Mutter's idle monitor and GNOME's own "do not disturb".
    PresenceSourceList presenceSources(const PresenceSetup &setup, const Clock &clock) override;

private:
    std::unique_ptr<FrontmostApplicationTracker> m_tracker;
    WindowRaiser *m_raiser = nullptr;
};

} // namespace nudgewatch
