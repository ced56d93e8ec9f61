#pragma once

#include "platform/session/DesktopSession.h"
#include "platform/session/SessionFacts.h"

namespace nudgewatch {

class DesktopEntryRegistry;

// A Plasma session on Wayland: a KWin script reports every activation over the
// session bus, and one-shot scripts raise windows.
class KWinSession final : public DesktopSession {
    Q_OBJECT
public:
    explicit KWinSession(const DesktopEntryRegistry &entries, QObject *parent = nullptr);
    static std::unique_ptr<DesktopSession> open(const SessionFacts &facts,
                                                const DesktopEntryRegistry &entries);

    FrontmostApplicationTracker &tracker() override { return *m_tracker; }
    WindowRaiser *raiser() override { return m_raiser; }
    // The program's windows are Xwayland clients, which KWin blends.
    std::function<bool()> compositorCheck() const override;
    // The compositor's idle protocol.
    PresenceSourceList presenceSources(const PresenceSetup &setup, const Clock &clock) override;

private:
    std::unique_ptr<FrontmostApplicationTracker> m_tracker;
    WindowRaiser *m_raiser = nullptr;
};

} // namespace nudgewatch
