#pragma once

#include "core/RunningApplication.h"

#include <optional>

namespace nudgewatch {

// The program itself as a running application, for when one of its own windows
// is in front. No tracked entry matches it (its bundle is its executable), so
// leaving the settings window for any application is an activation of that one.
RunningApplication ownApplication();

// A window in front that names no usable application. It is a change of
// application like any other (the one before is no longer in use), and its
// empty path matches no tracked entry.
RunningApplication unknownApplication();

// Turns the stream of front windows into one activation per change of
// application. Every tracker reports through it. The desktop repeats the same
// window; that, or a switch between two windows of one application, is not a
// change of application. Nothing in front (an empty workspace, every window
// minimised) is given as unknownApplication(): the last one is left.
class ActivationFilter {
public:
    // `application` none is ignored. Returns the application to announce, if any.
    std::optional<RunningApplication> observe(const std::optional<RunningApplication> &application);

    // The application last announced (or taken at start); none before any.
    const std::optional<RunningApplication> &current() const { return m_current; }
    // Forgets the last application, so its next report is announced again.
    void forget() { m_current.reset(); }

private:
    std::optional<RunningApplication> m_current;
};

} // namespace nudgewatch
