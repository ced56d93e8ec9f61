#pragma once

#include "platform/DesktopSession.h"
#include "platform/SessionKind.h"

namespace nudgewatch {

// The tracker of a session the program cannot follow, telling the user why; a
// line on stderr says so too.
std::unique_ptr<FrontmostApplicationTracker> unfollowedTracker(const QString &reason);

// A session with no desktop the program can follow: nothing is ever in front.
class NullSession final : public DesktopSession {
    Q_OBJECT
public:
    explicit NullSession(const QString &reason, QObject *parent = nullptr);
    static std::unique_ptr<DesktopSession> open(const SessionFacts &facts,
                                                const class DesktopEntryRegistry &entries);

    FrontmostApplicationTracker &tracker() override { return *m_tracker; }
    WindowRaiser *raiser() override { return nullptr; }

private:
    std::unique_ptr<FrontmostApplicationTracker> m_tracker;
};

} // namespace nudgewatch
