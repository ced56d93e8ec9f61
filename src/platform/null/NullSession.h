#pragma once

#include "platform/session/DesktopSession.h"
#include "platform/session/SessionFacts.h"

namespace nudgewatch {

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
