#pragma once

#include "platform/session/DesktopSession.h"
#include "platform/session/SessionFacts.h"

namespace nudgewatch {

class DesktopEntryRegistry;
class X11ActiveWindow;
class XcbConnection;

// An X11 session with an EWMH window manager. One connection of the program's
// own serves the tracker, the raising of windows and the presence sources, and
// the active window on it is followed once for all of them.
class X11Session final : public DesktopSession {
    Q_OBJECT
public:
    // Over `connection`; not followed when it is null.
    X11Session(std::unique_ptr<XcbConnection> connection, const DesktopEntryRegistry &entries,
               QObject *parent = nullptr);
    ~X11Session() override;
    static std::unique_ptr<DesktopSession> open(const SessionFacts &facts,
                                                const DesktopEntryRegistry &entries);

    FrontmostApplicationTracker &tracker() override { return *m_tracker; }
    WindowRaiser *raiser() override { return m_raiser; }
    std::function<bool()> compositorCheck() const override;
    // The active window's frame.
    FrontWindowPlace frontWindowPlace() override;
    QString note() const override { return m_note; }
    // The X server's idle counter and the fullscreen window in front.
    PresenceSourceList presenceSources(const PresenceSetup &setup, const Clock &clock) override;

private:
    std::unique_ptr<XcbConnection> m_x;
    std::unique_ptr<X11ActiveWindow> m_active;
    std::unique_ptr<FrontmostApplicationTracker> m_tracker;
    WindowRaiser *m_raiser = nullptr;
    QString m_note;
};

} // namespace nudgewatch
