#pragma once

#include "tracking/HoldState.h"

#include <QString>

namespace nudgewatch {

// The most applications the window offers to track.
inline constexpr int maximumTrackedApps = 5;

// Every text the settings window shows, in one place.
namespace windowText {
inline const QString title = QStringLiteral("Nudgewatch");
inline const QString subtitle = QStringLiteral("Track your apps. Get notified when they need you.");
inline const QString monitoring = QStringLiteral("Monitoring");
inline const QString notTracking = QStringLiteral("Not Tracking");
inline const QString statusActive = QStringLiteral("Notch monitoring active");
// The two monitoring texts while reminders are held (paused, away, busy, blind).
inline const QString monitoringHeld = QStringLiteral("Monitoring held");
inline const QString statusHeld = QStringLiteral("Notch monitoring held");
inline const QString statusClose =
    QStringLiteral("Close this window \u2014 the notch keeps running");
inline const QString saveFailed =
    QStringLiteral("Your settings could not be saved: the settings file is not writable.");
// In a row, for a few seconds after its Open button opened nothing.
inline const QString openFailed = QStringLiteral("Could not be opened");
inline const QString setAsideDamaged = QStringLiteral("Keep a Copy and Start Afresh");
// The settings file at `path` could not be read; `reason` says what is wrong
// and where, when known.
inline QString settingsDamaged(const QString &path, const QString &reason = {})
{
    const QString why = reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reason);
    return QStringLiteral("Your settings file %1 could not be read%2, so nothing you change is "
                          "saved. Keep a copy of it and start a fresh file with what could be "
                          "read?")
        .arg(path, why);
}
// The damaged file was kept at `path`.
inline QString damagedKept(const QString &path)
{
    return QStringLiteral("Started a fresh settings file. The damaged one was kept as %1.")
        .arg(path);
}
inline const QString setAsideFailed =
    QStringLiteral("The damaged settings file could not be renamed; nothing was changed.");

inline const QString idleThreshold = QStringLiteral("Idle Threshold");
inline const QString thresholdMinimum = QStringLiteral("30s");
inline const QString thresholdMaximum = QStringLiteral("10m");
inline const QString thresholdHint = QStringLiteral(
    "After this time of not using a tracked app, the notch will drop down with a reminder.");

inline const QString trackedApps = QStringLiteral("Tracked Apps");
inline const QString noAppsTracked = QStringLiteral("No apps tracked yet");
inline const QString emptyHint =
    QStringLiteral("Click the + button below to pick apps from your installed applications");
inline const QString active = QStringLiteral("Active");
inline const QString openApp = QStringLiteral("Open this app");
inline const QString stopTracking = QStringLiteral("Stop tracking");
// The row's buttons, named with the application they act on.
inline QString openNamed(const QString &app)
{
    return QStringLiteral("Open %1").arg(app);
}
inline QString stopTrackingNamed(const QString &app)
{
    return QStringLiteral("Stop tracking %1").arg(app);
}
inline const QString addApplication = QStringLiteral("Add Application");

inline const QString pauseReminders = QStringLiteral("Pause Reminders");
inline const QString pauseShort = QStringLiteral("For 30 minutes");
inline const QString pauseLong = QStringLiteral("For 1 hour");
inline const QString pauseUntilResumed = QStringLiteral("Until resumed");
inline const QString resume = QStringLiteral("Resume");
inline const QString resumeReminders = QStringLiteral("Resume reminders");
inline const QString holdNotice = QStringLiteral("Reminders held");
// Said for a tracker that cannot see and gives no reason of its own.
inline const QString trackerBlind =
    QStringLiteral("Nudgewatch cannot see which application is in front, so it does not remind "
                   "you: a reminder now could be about the application you are using.");

// Why no reminder comes now; `until` is the end of a timed pause as a time of
// day. Empty when reminders come, or when only the tracker holds them (the
// tracker's own explanation says why).
inline QString remindersHeld(HoldReason reason, const QString &until)
{
    switch (reason) {
    case HoldReason::Paused:
        return until.isEmpty() ? QStringLiteral("Reminders are paused until you resume them")
                               : QStringLiteral("Reminders are paused until %1").arg(until);
    case HoldReason::ScreenLocked:
        return QStringLiteral("Reminders are paused while the screen is locked");
    case HoldReason::Asleep:
        return QStringLiteral("Reminders are paused while the computer sleeps");
    case HoldReason::NoInput:
        return QStringLiteral("Reminders are paused while you are away");
    case HoldReason::Fullscreen:
        return QStringLiteral("Reminders are paused while a window is fullscreen");
    case HoldReason::DoNotDisturb:
        return QStringLiteral("Reminders are paused while Do Not Disturb is on");
    case HoldReason::TrackerBlind:
    case HoldReason::None:
        break;
    }
    return {};
}

// "3/5 apps"
inline QString trackedOfMaximum(int count)
{
    return QStringLiteral("%1/%2 apps").arg(count).arg(maximumTrackedApps);
}
// "3 of 5"
inline QString countOfMaximum(int count)
{
    return QStringLiteral("%1 of %2").arg(count).arg(maximumTrackedApps);
}
} // namespace windowText

} // namespace nudgewatch
