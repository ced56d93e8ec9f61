#include "platform/null/NullSession.h"

#include "platform/session/NullFrontmostTracker.h"

namespace nudgewatch {

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
