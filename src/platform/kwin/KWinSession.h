#pragma once

#include "platform/session/CompositorSession.h"
#include "platform/session/SessionFacts.h"

namespace nudgewatch {

class DesktopEntryRegistry;

// A Plasma session on Wayland: a KWin script reports every activation over the
// session bus, and one-shot scripts raise windows.
class KWinSession final : public CompositorSession {
    Q_OBJECT
public:
    explicit KWinSession(const DesktopEntryRegistry &entries, QObject *parent = nullptr);
    static std::unique_ptr<DesktopSession> open(const SessionFacts &facts,
                                                const DesktopEntryRegistry &entries);

    // The compositor's idle protocol.
    PresenceSourceList presenceSources(const PresenceSetup &setup, const Clock &clock) override;
};

} // namespace nudgewatch
