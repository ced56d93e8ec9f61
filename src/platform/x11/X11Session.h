#pragma once

#include "platform/DesktopSession.h"
#include "platform/SessionKind.h"

namespace nudgewatch {

class DesktopEntryRegistry;
class XcbConnection;

// An X11 session with an EWMH window manager: the tracker follows the active
// window on the program's own connection and raises windows through it.
class X11Session final : public DesktopSession {
    Q_OBJECT
public:
    // Over `connection`; not followed when it is null.
    X11Session(std::unique_ptr<XcbConnection> connection, const DesktopEntryRegistry &entries,
               QObject *parent = nullptr);
    static std::unique_ptr<DesktopSession> open(const SessionFacts &facts,
                                                const DesktopEntryRegistry &entries);

    FrontmostApplicationTracker &tracker() override { return *m_tracker; }
    WindowRaiser *raiser() override { return m_raiser; }
    std::function<bool()> compositorCheck() const override;
    QString note() const override { return m_note; }

    // The X server's idle counter and the fullscreen window in front.
    static PresenceSourceList presenceSources(const PresenceSetup &setup, const Clock &clock);

private:
    std::unique_ptr<FrontmostApplicationTracker> m_tracker;
    WindowRaiser *m_raiser = nullptr;
    QString m_note;
};

} // namespace nudgewatch
