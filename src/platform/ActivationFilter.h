#pragma once

#include "core/RunningApplication.h"

#include <optional>

namespace nudgewatch {

// The program itself as a running application, for when one of its own windows
// is in front. No tracked entry matches it (its bundle is its executable), so
// leaving the settings window for any application is an activation of that one.
RunningApplication ownApplication();

// Turns the stream of front windows into one activation per change of
// application. Every tracker reports through it. The desktop repeats the same
// window; that, or a switch between two windows of one application, is not a
// change of application. No window in front is reported on its own.
class ActivationFilter {
public:
    // `application` is none while no window is in front, which is ignored here
    // (see observeNothing). Returns the application to announce, if any.
    std::optional<RunningApplication> observe(const std::optional<RunningApplication> &application);
    // No window is in front. True when that is news: an application was. The
    // application coming back after it is announced again.
    bool observeNothing();

    // The application last announced (or taken at start); none before any.
    const std::optional<RunningApplication> &current() const { return m_current; }

private:
    std::optional<RunningApplication> m_current;
};

} // namespace nudgewatch
