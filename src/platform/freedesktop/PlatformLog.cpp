#include "platform/freedesktop/PlatformLog.h"

Q_LOGGING_CATEGORY(lcPlatform, "nudgewatch.platform", QtInfoMsg)
