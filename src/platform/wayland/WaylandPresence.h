#pragma once

#include "platform/session/DesktopSession.h"

namespace nudgewatch {

// No input, as a Wayland compositor with an idle protocol tells it, on the
// source's own connection so no other client's events wait on it.
PresenceSourceList waylandIdlePresenceSources(const PresenceSetup &setup, const Clock &clock);

} // namespace nudgewatch
