#pragma once

#include "core/FrontmostApplicationTracker.h"
#include "core/WindowRaiser.h"

#include <QHash>

namespace nudgewatch {

// The session's tracker and window raiser, where some tracked entries stand in
// for an application's own: a launcher whose windows are another entry's (Xfce's
// "Terminal Emulator" starts the preferred terminal). That entry's activations
// are the launcher's, and Open on the launcher raises that entry's window.
class StandInTracker final : public FrontmostApplicationTracker, public WindowRaiser {
    Q_OBJECT
public:
    // Both outlive it; `raiser` may be null (the desktop raises no window).
    StandInTracker(FrontmostApplicationTracker &tracker, WindowRaiser *raiser,
                   QObject *parent = nullptr);

    // Entry path of an application: the tracked launcher that stands in for it.
    void setStandIns(QHash<QString, QString> launcherFor)
    {
        m_launcherFor = std::move(launcherFor);
    }

    std::optional<RunningApplication> frontmostApplication() const override;
    TrackerStatus status() const override { return m_tracker.status(); }
    bool reportsFullscreen() const override { return m_tracker.reportsFullscreen(); }
    void runSetup() override { m_tracker.runSetup(); }
    bool raiseWindowOf(const QString &entryPath) override;

private:
    RunningApplication asTracked(RunningApplication application) const;

    FrontmostApplicationTracker &m_tracker;
    WindowRaiser *m_raiser;
    QHash<QString, QString> m_launcherFor;
};

} // namespace nudgewatch
