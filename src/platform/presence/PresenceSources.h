#pragma once

#include "core/Clock.h"
#include "core/PresenceSource.h"
#include "platform/SessionKind.h"

#include <chrono>
#include <memory>
#include <vector>

namespace nudgewatch {

struct PresenceSetup {
    // logind's name for the session ($XDG_SESSION_ID); empty to find it by process.
    QString logindSessionId;
    // How long without input counts as away.
    std::chrono::milliseconds noInputAfter = std::chrono::minutes(5);

    static PresenceSetup fromEnvironment(const QProcessEnvironment &environment);
};

// The presence sources that can work in this session, each an independent
// reporter: a condition may come from more than one (logind and the screen
// saver both report a lock), so the listener combines them. Sources whose
// service is missing are left out or stay silent. Every change is logged under
// nudgewatch.platform at debug level.
std::vector<std::unique_ptr<PresenceSource>>
createPresenceSources(const SessionFacts &facts, const PresenceSetup &setup, const Clock &clock);

// "ScreenLocked", "NoInput", … for diagnostics.
QLatin1String presenceConditionName(PresenceCondition condition);

} // namespace nudgewatch
