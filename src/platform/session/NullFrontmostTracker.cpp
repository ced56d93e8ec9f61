#include "platform/session/NullFrontmostTracker.h"

#include <QCoreApplication>

#include <cstdio>

namespace nudgewatch {

std::unique_ptr<FrontmostApplicationTracker> unfollowedTracker(const QString &reason)
{
    std::fprintf(stderr,
                 "nudgewatch: frontmost application tracking is unavailable in this session (%s)\n",
                 qPrintable(reason));
    return std::make_unique<NullFrontmostTracker>(QCoreApplication::translate(
        "nudgewatch::NullFrontmostTracker",
        "Nudgewatch cannot see which application is in front on this desktop, so it does "
        "not remind you: a reminder now could be about the application you are using."));
}

} // namespace nudgewatch
