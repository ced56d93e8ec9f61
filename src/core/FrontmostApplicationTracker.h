#pragma once

#include "core/FrontWindowPlace.h"
#include "core/RunningApplication.h"

#include <QObject>
#include <QString>

namespace nudgewatch {

// Whether a tracker can see the front application, and what the user can do
// when it cannot.
struct TrackerStatus {
    bool tracking = true;
    // One or two sentences for the settings window while not tracking (why,
    // and what follows the setup action); empty while tracking.
    QString explanation;
    // The label of a button that sets tracking up (installs what the session
    // needs); empty when there is nothing the user can do from the program.
    QString setupAction;

    bool operator==(const TrackerStatus &) const = default;
};

// Follows which application is in front. One backend per kind of session; each
// announces one activation per change of application, on the main thread.
// Reminding while blind would remind about the application in use, so a
// tracker that cannot see says so through status().
class FrontmostApplicationTracker : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~FrontmostApplicationTracker() override = default;

    // None when nothing is known to be in front (or the session cannot say).
    virtual std::optional<RunningApplication> frontmostApplication() const = 0;

    virtual TrackerStatus status() const { return {}; }
    // Whether this tracker tells, through fullscreenChanged(), when the window
    // in front is fullscreen.
    virtual bool reportsFullscreen() const { return false; }
    // Where the window in front is, where this tracker can tell.
    virtual FrontWindowPlace frontWindowPlace() const { return {}; }
    // Runs the setup that status().setupAction offers; statusChanged() tells
    // how it went. Does nothing when none is offered.
    virtual void runSetup() {}

signals:
    void activated(const nudgewatch::RunningApplication &application);
    // The window in front went fullscreen, or stopped being so.
    void fullscreenChanged(bool fullscreen);
    void statusChanged();
};

} // namespace nudgewatch
