#include "platform/linux/PlatformLog.h"

Q_LOGGING_CATEGORY(lcPlatform, "nudgewatch.platform", QtInfoMsg)
