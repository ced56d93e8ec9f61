#pragma once

#include <QString>

namespace nudgewatch {

// Brings a window of an application to the front, the way the desktop allows.
class WindowRaiser {
public:
    virtual ~WindowRaiser() = default;
    // Whether a window of the entry at the standard path given was found and
    // raised; false when there is none or the desktop refuses.
    virtual bool raiseWindowOf(const QString &entryPath) = 0;
};

} // namespace nudgewatch
