#pragma once

#include "platform/session/DesktopSession.h"
#include "platform/session/SessionFacts.h"

namespace nudgewatch {

class DesktopEntryRegistry;

// A Wayland compositor with foreign-toplevel management (sway, Hyprland,
// labwc, river, …), followed and asked to raise windows over the program's own
// Wayland connection.
class WlrootsSession final : public DesktopSession {
    Q_OBJECT
public:
    explicit WlrootsSession(const DesktopEntryRegistry &entries, QObject *parent = nullptr);
    static std::unique_ptr<DesktopSession> open(const SessionFacts &facts,
                                                const DesktopEntryRegistry &entries);

    FrontmostApplicationTracker &tracker() override { return *m_tracker; }
    WindowRaiser *raiser() override { return m_raiser; }
    // The program's windows are Xwayland clients, which the compositor blends.
    std::function<bool()> compositorCheck() const override;
    // The compositor's idle protocol.
    PresenceSourceList presenceSources(const PresenceSetup &setup, const Clock &clock) override;

private:
    std::unique_ptr<FrontmostApplicationTracker> m_tracker;
    WindowRaiser *m_raiser = nullptr;
};

} // namespace nudgewatch
