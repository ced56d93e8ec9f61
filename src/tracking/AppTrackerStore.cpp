#include "tracking/AppTrackerStore.h"

#include "core/BundlePath.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QRandomGenerator>
#include <QSet>

#include <cmath>

namespace nudgewatch {

const QStringList AppTrackerStore::waitingMessages = {
    QStringLiteral("is waiting for you!"),   QStringLiteral("misses you!"),
    QStringLiteral("wants your attention."), QStringLiteral("has been idle. Open it?"),
    QStringLiteral("is getting lonely..."),  QStringLiteral("says: come back!"),
};

namespace {

// Whether a running application is the tracked one: by entry path when the
// desktop knows it, otherwise by name. The running path is standardized once by
// the caller.
bool matchesStandardized(const TrackedApp &tracked, const RunningApplication &running,
                         const QString &runningPath)
{
    if (running.bundlePath) {
        if (runningPath.isEmpty())
            return false;
        // Saved paths are normally standard already; skip the clean-up then.
        return tracked.bundlePath == runningPath ||
               standardizedPath(tracked.bundlePath) == runningPath;
    }
    return running.localizedName && *running.localizedName == tracked.name;
}

QString standardizedRunningPath(const RunningApplication &running)
{
    return running.bundlePath ? standardizedPath(*running.bundlePath) : QString();
}

// A stored threshold that is not a positive finite number is replaced, so the
// monitor and the label never work with NaN or infinity.
double resolvedThreshold(double stored)
{
    return std::isfinite(stored) && stored > 0 ? stored : AppTrackerStore::defaultIdleThreshold;
}

QString bundleDisplayName(const BundleNames &names, const QString &path)
{
    if (names.localizedName)
        return *names.localizedName;
    if (names.name)
        return *names.name;
    return QFileInfo(path).completeBaseName();
}

} // namespace

AppTrackerStore::AppTrackerStore(StoreServices services, QObject *parent)
    : QObject(parent), m_services(std::move(services))
{
    if (!m_services.randomIndex) {
        m_services.randomIndex = [](std::size_t n) {
            return static_cast<std::size_t>(QRandomGenerator::global()->bounded(quint64(n)));
        };
    }
    setIdleThresholdSeconds(
        resolvedThreshold(m_services.defaults.doubleValue(defaultsKeys::idleThreshold)));
    loadTrackedApps();
    connect(&m_services.icons, &IconProvider::iconsChanged, this, &AppTrackerStore::reloadIcons);
    m_hold = std::make_unique<ReminderHold>(m_services.tracker, m_services.presenceSources,
                                            m_services.clock, m_services.scheduler);
    connect(m_hold.get(), &ReminderHold::changed, this, &AppTrackerStore::followHold);
    connect(m_hold.get(), &ReminderHold::returned, this, &AppTrackerStore::leaveOutAbsence);
}

AppTrackerStore::~AppTrackerStore() = default;

QStringList AppTrackerStore::trackedPaths() const
{
    QStringList paths;
    paths.reserve(qsizetype(m_trackedApps.size()));
    for (const TrackedApp &app : m_trackedApps)
        paths.append(app.bundlePath);
    return paths;
}

QString AppTrackerStore::setAsideDamagedSettings()
{
    const QString kept = m_services.defaults.setAsideDamaged();
    // The slider may have moved while nothing could be saved: keep what it shows.
    if (!kept.isEmpty())
        setIdleThresholdSeconds(m_idleThresholdSeconds);
    return kept;
}

bool AppTrackerStore::setIdleThresholdSeconds(double seconds)
{
    emit objectWillChange();
    m_idleThresholdSeconds = seconds;
    return recordSave(m_services.defaults.setDouble(defaultsKeys::idleThreshold, seconds));
}

QStringList AppTrackerStore::savedPaths() const
{
    return m_services.defaults.stringList(defaultsKeys::trackedAppPaths).value_or(QStringList{});
}

bool AppTrackerStore::setSavedPaths(const QStringList &paths)
{
    return recordSave(m_services.defaults.setStringList(defaultsKeys::trackedAppPaths, paths));
}

bool AppTrackerStore::recordSave(bool succeeded)
{
    m_lastSaveSucceeded = succeeded;
    if (!succeeded)
        emit saveFailed();
    return succeeded;
}

void AppTrackerStore::loadTrackedApps()
{
    const QStringList paths = savedPaths();
    std::vector<TrackedApp> apps;
    // A file edited by hand may list one entry many times. The copies stay in
    // the file, but are one application: one record, looked up once (removing
    // it removes every copy).
    QSet<QString> seen;
    for (const QString &path : paths) {
        if (seen.contains(path))
            continue;
        seen.insert(path);
        // Relative entries are not written by the program; resolving them against
        // the working directory would make the list depend on where it started.
        if (!QDir::isAbsolutePath(path) || !m_services.fileSystem.exists(path))
            continue;
        const QString name = bundleDisplayName(m_services.bundleInfo.namesForBundle(path), path);
        apps.emplace_back(name, path, m_services.icons.iconForFile(path), m_services.clock.now());
    }
    emit objectWillChange();
    m_trackedApps = std::move(apps);
    emit trackedAppsReloaded();
}

void AppTrackerStore::addApp(const QUrl &url)
{
    if (!url.isLocalFile())
        return;
    const QString path = standardizedPath(url.toLocalFile());
    if (path.isEmpty())
        return;
    QStringList paths = savedPaths();
    if (paths.contains(path))
        return;
    if (!m_services.fileSystem.exists(path))
        return;
    paths.append(path);
    // When the list cannot be saved nothing is added: the window never shows an
    // application that would be gone at the next start.
    if (setSavedPaths(paths))
        loadTrackedApps();
}

void AppTrackerStore::removeApp(const QUuid &id)
{
    const auto it = std::find_if(m_trackedApps.begin(), m_trackedApps.end(),
                                 [&](const TrackedApp &app) { return app.id == id; });
    if (it == m_trackedApps.end())
        return;
    QStringList paths = savedPaths();
    paths.removeAll(it->bundlePath);
    if (setSavedPaths(paths))
        loadTrackedApps();
}

void AppTrackerStore::reloadIcons()
{
    for (TrackedApp &app : m_trackedApps) {
        emit objectWillChange();
        app.icon = m_services.icons.iconForFile(app.bundlePath);
    }
    if (m_alertApp) {
        emit objectWillChange();
        m_alertApp->icon = m_services.icons.iconForFile(m_alertApp->bundlePath);
    }
}

void AppTrackerStore::startMonitoring()
{
    if (m_monitorTimer)
        return; // monitoring runs once per store
    if (const auto front = m_services.tracker.frontmostApplication())
        markUsed(*front);
    connect(&m_services.tracker, &FrontmostApplicationTracker::activated, this,
            &AppTrackerStore::markUsed);
    m_monitorTimer =
        m_services.scheduler.scheduleRepeating(monitorIntervalSeconds, [this] { tick(); });
}

void AppTrackerStore::markUsed(const RunningApplication &application)
{
    if (!application.localizedName)
        return;
    const WallTime now = m_services.clock.now();
    const QString runningPath = standardizedRunningPath(application);
    const std::size_t count = m_trackedApps.size();
    for (std::size_t i = 0; i < count; ++i) {
        TrackedApp &app = m_trackedApps[i];
        if (matchesStandardized(app, application, runningPath)) {
            emit objectWillChange();
            app.lastUsed = now;
            emit objectWillChange();
            app.idleSeconds = 0;
            emit objectWillChange();
            app.isCurrentlyFocused = true;
        } else {
            emit objectWillChange();
            app.isCurrentlyFocused = false;
        }
    }
    // By entry too: an entry that stands for another application (a launcher
    // of the preferred terminal) is named apart from the window that comes up.
    if (m_alertApp && (m_alertApp->name == *application.localizedName ||
                       matchesStandardized(*m_alertApp, application, runningPath)))
        dismissAlert();
}

void AppTrackerStore::tick()
{
    m_hold->refresh();
    const WallTime now = m_services.clock.now();
    // A gap while away is already left out, from when the away began.
    if (m_lastTick && !m_hold->awaySince() &&
        secondsBetween(*m_lastTick, now) > monitorIntervalSeconds + lateTickSeconds)
        leaveOutAbsence(*m_lastTick + std::chrono::duration_cast<WallTime::duration>(
                                          std::chrono::duration<double>(monitorIntervalSeconds)),
                        now);
    m_lastTick = now;
    const double threshold = m_idleThresholdSeconds;
    // While the user is away the idle clocks stand still.
    const std::optional<WallTime> awaySince = m_hold->awaySince();
    std::optional<std::size_t> firstCandidate;
    const std::size_t count = m_trackedApps.size();
    // One announcement for the whole tick, and only when a record will change:
    // observers re-read everything after it anyway.
    bool announced = false;
    const auto announce = [&] {
        if (!announced)
            emit objectWillChange();
        announced = true;
    };
    for (std::size_t i = 0; i < count; ++i) {
        TrackedApp &app = m_trackedApps[i];
        const WallTime counted =
            awaySince ? lastUsedAfterAbsence(app.lastUsed, *awaySince, now) : app.lastUsed;
        const double idle = secondsBetween(counted, now);
        const WallTime lastUsed = app.isCurrentlyFocused ? now : app.lastUsed;
        const double idleSeconds = app.isCurrentlyFocused ? 0 : idle;
        if (lastUsed != app.lastUsed || idleSeconds != app.idleSeconds) {
            announce();
            app.lastUsed = lastUsed;
            app.idleSeconds = idleSeconds;
        }
        if (!(threshold > idle) && !app.isCurrentlyFocused && !firstCandidate)
            firstCandidate = i;
    }
    // The auto-hide was started by a tick, so it fires in the same instant as
    // one; raising again at that tick would hide and show the card in one
    // frame. A reminder that hid itself comes back at the next tick.
    const bool justHidden =
        m_lastAutoHide && secondsBetween(*m_lastAutoHide, now) < monitorIntervalSeconds / 2;
    if (firstCandidate && !m_isPanelExpanded && !justHidden)
        showWaitingAlert(m_trackedApps[*firstCandidate]);
}

void AppTrackerStore::showWaitingAlert(const TrackedApp &app)
{
    if (m_hold->isHeld())
        return;
    const TrackedApp copy = app;
    emit objectWillChange();
    m_alertApp = copy;
    const QString ending = waitingMessages.isEmpty()
                               ? QStringLiteral("is waiting for you!")
                               : waitingMessages.at(qsizetype(
                                     m_services.randomIndex(std::size_t(waitingMessages.size()))));
    emit objectWillChange();
    m_alertMessage = copy.name + QLatin1Char(' ') + ending;
    emit objectWillChange();
    m_isPanelExpanded = true;
    emit panelExpandedChanged(true);
    m_services.notifications.post(notifications::expand);
    if (m_autoHideTimer)
        m_autoHideTimer->invalidate();
    m_autoHideTimer = m_services.scheduler.scheduleOnce(autoHideSeconds, [this] { hideAlert(); });
}

void AppTrackerStore::hideAlert()
{
    m_lastAutoHide = m_services.clock.now();
    dismissAlert();
}

void AppTrackerStore::followHold()
{
    if (!m_hold->isHeld() || !m_isPanelExpanded)
        return;
    if (m_autoHideTimer)
        m_autoHideTimer->invalidate();
    hideAlert();
}

void AppTrackerStore::leaveOutAbsence(WallTime from, WallTime back)
{
    // Left out once: a tick after the return finds no gap before it.
    m_lastTick = m_lastTick ? std::max(*m_lastTick, back) : back;
    // An application in front was in use all along: its clock stays at the last tick.
    for (TrackedApp &app : m_trackedApps) {
        if (app.isCurrentlyFocused)
            continue;
        emit objectWillChange();
        app.lastUsed = lastUsedAfterAbsence(app.lastUsed, from, back);
    }
}

void AppTrackerStore::dismissAlert()
{
    emit objectWillChange();
    m_isPanelExpanded = false;
    emit objectWillChange();
    m_alertApp.reset();
    emit panelExpandedChanged(false);
    m_services.notifications.post(notifications::collapse);
}

void AppTrackerStore::openApp(const TrackedApp &app)
{
    if (m_services.opener.openApplication(app.bundlePath)) {
        dismissAlert();
        return;
    }
    emit openFailed(app.bundlePath);
    // Pressed on its own reminder: the card says so until it hides by itself.
    if (m_isPanelExpanded && m_alertApp && m_alertApp->bundlePath == app.bundlePath) {
        emit objectWillChange();
        m_alertMessage = app.name + QStringLiteral(" could not be opened.");
        return;
    }
    dismissAlert();
}

void AppTrackerStore::snooze()
{
    snooze(m_alertApp ? m_alertApp->id : QUuid());
}

void AppTrackerStore::snooze(const QUuid &id)
{
    for (TrackedApp &app : m_trackedApps) {
        if (!id.isNull() && app.id == id) {
            emit objectWillChange();
            app.lastUsed = m_services.clock.now();
            break;
        }
    }
    dismissAlert();
}

} // namespace nudgewatch
