#pragma once

#include "app/Services.h"

#include <optional>

namespace nudgewatch {

// Turns the stream of active windows into one activation per change of
// application. The window manager reports None between windows and repeats the
// same window; neither, nor a switch between two windows of one application,
// nor one of the program's own windows, is a change of application.
class ActivationFilter {
public:
    // `application` is none for the None window and for the program's own
    // windows. Returns the application to announce, if any.
    std::optional<RunningApplication> observe(const std::optional<RunningApplication> &application);

    // The application last announced (or taken at start); none before any.
    const std::optional<RunningApplication> &current() const { return m_current; }

private:
    std::optional<RunningApplication> m_current;
};

} // namespace nudgewatch
