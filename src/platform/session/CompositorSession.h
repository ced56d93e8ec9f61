#pragma once

#include "core/WindowRaiser.h"
#include "platform/session/DesktopSession.h"
#include "platform/session/NullFrontmostTracker.h"

namespace nudgewatch {

// A Wayland session followed through the compositor (GNOME Shell, KWin, a
// wlroots compositor): one tracker both follows the front window and raises
// windows. The program's windows are Xwayland clients there, which every such
// compositor blends.
class CompositorSession : public DesktopSession {
    Q_OBJECT
public:
    FrontmostApplicationTracker &tracker() override { return *m_tracker; }
    WindowRaiser *raiser() override { return m_raiser; }
    std::function<bool()> compositorCheck() const override
    {
        return [] {
            return true;
        };
    }

protected:
    using DesktopSession::DesktopSession;

    // Follows the front window with `tracker`, which raises windows too; with
    // none, follows nothing and says why (`whyNot`).
    template <typename Tracker>
    void follow(std::unique_ptr<Tracker> tracker, const QString &whyNot = {})
    {
        if (!tracker) {
            m_tracker = unfollowedTracker(whyNot);
            return;
        }
        m_raiser = tracker.get();
        m_tracker = std::move(tracker);
    }

private:
    std::unique_ptr<FrontmostApplicationTracker> m_tracker;
    WindowRaiser *m_raiser = nullptr;
};

} // namespace nudgewatch
