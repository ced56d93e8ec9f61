#pragma once

#include "platform/SessionTable.h"
#include "platform/session/DesktopSession.h"

namespace nudgewatch {

// The presence sources that can work in this session, each an independent
// reporter: a condition may come from more than one (logind and the screen
// saver both report a lock), so the listener combines them. The session's own
// come first, then those every desktop shares. Sources whose service is
// missing are left out or stay silent. Every change is logged under
// nudgewatch.platform at debug level. `session` outlives the sources.
PresenceSourceList createPresenceSources(DesktopSession &session, const SessionFacts &facts,
                                         const PresenceSetup &setup, const Clock &clock);

// "ScreenLocked", "NoInput", … for diagnostics.
QLatin1String presenceConditionName(PresenceCondition condition);

} // namespace nudgewatch
