#pragma once

#include "core/ApplicationOpener.h"
#include "core/BundleInfo.h"
#include "core/Clock.h"
#include "core/FileSystem.h"
#include "core/FrontmostApplicationTracker.h"
#include "core/IconProvider.h"
#include "core/Scheduler.h"
#include "core/UserDefaults.h"
#include "tracking/NotificationCenter.h"
#include "tracking/ReminderHold.h"
#include "tracking/TrackedApp.h"

#include <QObject>
#include <QStringList>
#include <QUrl>
#include <QUuid>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace nudgewatch {

// Uniform choice of an index below n (n > 0).
using RandomIndex = std::function<std::size_t(std::size_t n)>;

// The services the store is built over; all must outlive it.
struct StoreServices {
    FrontmostApplicationTracker &tracker;
    ApplicationOpener &opener;
    IconProvider &icons;
    BundleInfo &bundleInfo;
    FileSystem &fileSystem;
    UserDefaults &defaults;
    Clock &clock;
    Scheduler &scheduler;
    NotificationCenter &notifications;
    RandomIndex randomIndex; // empty: a uniform system random choice
    // What tells that the user is away or busy; none: always present.
    PresenceSources presenceSources = {};
};

// Keys under which the two saved values live.
namespace defaultsKeys {
inline const QString trackedAppPaths = QStringLiteral("Nudgewatch.trackedAppPaths");
inline const QString idleThreshold = QStringLiteral("Nudgewatch.idleThreshold");
} // namespace defaultsKeys

// The one owner of the tracked applications, the reminder state and the idle
// threshold. Every write of a published value (each record field included) is
// announced on objectWillChange() just before it happens; views re-read the
// store afterwards.
class AppTrackerStore : public QObject {
    Q_OBJECT
public:
    static constexpr double defaultIdleThreshold = 60.0;
    static constexpr double autoHideSeconds = 15.0;
    static constexpr double monitorIntervalSeconds = 1.0;
    // A tick this much later than due was not held up by a busy program: the
    // process was stopped or the computer slept without a word, and the user
    // is counted as away meanwhile.
    static constexpr double lateTickSeconds = 30.0;
    static const QStringList waitingMessages;

    explicit AppTrackerStore(StoreServices services, QObject *parent = nullptr);
    ~AppTrackerStore() override;

    // Published state.
    const std::vector<TrackedApp> &trackedApps() const { return m_trackedApps; }
    const std::optional<TrackedApp> &alertApp() const { return m_alertApp; }
    bool isPanelExpanded() const { return m_isPanelExpanded; }
    const QString &alertMessage() const { return m_alertMessage; }
    double idleThresholdSeconds() const { return m_idleThresholdSeconds; }
    // Saved at once. Returns false when the value could not be saved.
    bool setIdleThresholdSeconds(double seconds);

    // Adds the entry at a local file URL; an entry already saved or missing is skipped.
    void addApp(const QUrl &url);
    void removeApp(const QUuid &id);
    // Asks the workspace again for every record's icon (icons it could only
    // stand in for before, e.g. while the program was still starting).
    void reloadIcons();
    // Once per process: follows activations and ticks every second from now on.
    void startMonitoring();
    void openApp(const TrackedApp &app);
    // Counts the application reminded about as used now: its reminder comes
    // again after a whole idle threshold.
    void snooze();
    // The same for the tracked record `id`, reminded about outside the card.
    void snooze(const QUuid &id);

    // False when the last write to the defaults failed (unwritable or broken file).
    bool lastSaveSucceeded() const { return m_lastSaveSucceeded; }
    // The settings could not be read. They are never written over, so nothing
    // is saved until the user sets the damaged file aside.
    bool settingsDamaged() const { return m_services.defaults.isDamaged(); }
    QString settingsLocation() const { return m_services.defaults.location(); }
    QString settingsDamageReason() const { return m_services.defaults.damageReason(); }
    // Keeps the damaged settings where the user can find them, starts afresh
    // with every value that could be read and saves the threshold shown. Returns
    // where the damaged settings were kept; empty when that failed.
    QString setAsideDamagedSettings();

    // The saved entry paths of the records, in list order.
    QStringList trackedPaths() const;

    // Whether reminders are held, and the user's pause.
    ReminderHold &reminderHold() const { return *m_hold; }

signals:
    // Nothing could be opened for the entry at that path.
    void openFailed(const QString &bundlePath);
    void objectWillChange();
    // A reminder came (its fields all written) or ended; sent before the
    // expand or collapse notification.
    void panelExpandedChanged(bool expanded);
    // A value could not be saved: the settings file is unwritable or broken.
    void saveFailed();
    // The records were rebuilt from the saved paths (an add or a removal).
    void trackedAppsReloaded();

private:
    QStringList savedPaths() const;
    bool setSavedPaths(const QStringList &paths);
    bool recordSave(bool succeeded);
    void loadTrackedApps();
    void markUsed(const RunningApplication &application);
    void tick();
    void showWaitingAlert(const TrackedApp &app);
    void dismissAlert();
    // Ends the reminder as its auto-hide does: no idle clock restarts.
    void hideAlert();
    void followHold();
    void leaveOutAbsence(WallTime from, WallTime back);

    StoreServices m_services;
    std::unique_ptr<ReminderHold> m_hold;
    std::vector<TrackedApp> m_trackedApps;
    std::optional<TrackedApp> m_alertApp;
    bool m_isPanelExpanded = false;
    QString m_alertMessage;
    double m_idleThresholdSeconds = defaultIdleThreshold;
    std::unique_ptr<Timer> m_monitorTimer;
    std::unique_ptr<Timer> m_autoHideTimer;
    std::optional<WallTime> m_lastAutoHide;
    std::optional<WallTime> m_lastTick;
    bool m_lastSaveSucceeded = true;
};

} // namespace nudgewatch
