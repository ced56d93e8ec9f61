#pragma once

#include <QLoggingCategory>

// Desktop-layer diagnostics: failed opens, window manager changes. Shown with
// QT_LOGGING_RULES="nudgewatch.platform.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
