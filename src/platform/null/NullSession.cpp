#include "platform/null/NullSession.h"

#include "platform/null/NullFrontmostTracker.h"

#include <QCoreApplication>

#include <cstdio>

namespace nudgewatch {

std::unique_ptr<FrontmostApplicationTracker> unfollowedTracker(const QString &reason)
{
    std::fprintf(stderr,
                 "nudgewatch: frontmost application tracking is unavailable in this session (%s)\n",
                 qPrintable(reason));
    return std::make_unique<NullFrontmostTracker>(QCoreApplication::translate(
        "nudgewatch::DesktopPlatform",
        "Nudgewatch cannot see which application is in front on this desktop, so it does "
        "not remind you: a reminder now could be about the application you are using."));
}

NullSession::NullSession(const QString &reason, QObject *parent)
    : DesktopSession(parent), m_tracker(unfollowedTracker(reason))
{
}

std::unique_ptr<DesktopSession> NullSession::open(const SessionFacts &facts,
                                                  const DesktopEntryRegistry &)
{
    return std::make_unique<NullSession>(
        QStringLiteral("the windowing platform is \"%1\", not X11").arg(facts.qtPlatform));
}

} // namespace nudgewatch
