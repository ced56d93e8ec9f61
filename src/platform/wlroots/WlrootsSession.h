#pragma once

#include "platform/session/CompositorSession.h"
#include "platform/session/SessionFacts.h"

namespace nudgewatch {

class DesktopEntryRegistry;

// A Wayland compositor with foreign-toplevel management (sway, Hyprland,
// labwc, river, …), followed and asked to raise windows over the program's own
// Wayland connection.
class WlrootsSession final : public CompositorSession {
    Q_OBJECT
public:
    explicit WlrootsSession(const DesktopEntryRegistry &entries, QObject *parent = nullptr);
    static std::unique_ptr<DesktopSession> open(const SessionFacts &facts,
                                                const DesktopEntryRegistry &entries);

    // The compositor's idle protocol.
    PresenceSourceList presenceSources(const PresenceSetup &setup, const Clock &clock) override;
};

} // namespace nudgewatch
