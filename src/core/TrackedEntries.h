#pragma once

#include <QStringList>

namespace nudgewatch {

// Told which desktop entries the user tracks, so windows of those kept outside
// the applications folders are recognised too.
class TrackedEntries {
public:
    virtual ~TrackedEntries() = default;
    virtual void setTrackedEntries(const QStringList &paths) = 0;
};

} // namespace nudgewatch
