#pragma once

#include <QString>

namespace nudgewatch {

// Brings an application to the front: raises a running window of it where the
// session allows, otherwise starts it.
class ApplicationOpener {
public:
    virtual ~ApplicationOpener() = default;
    // Whether the request was handed to the desktop; callers may ignore it.
    virtual bool openApplication(const QString &bundlePath) = 0;
};

} // namespace nudgewatch
