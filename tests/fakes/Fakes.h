#pragma once

// Test doubles for the desktop services: a settable clock, a scheduler that
// advances virtual time, an in-memory defaults store, a scripted workspace.

#include "core/ApplicationOpener.h"
#include "core/BundleInfo.h"
#include "core/Clock.h"
#include "core/FileSystem.h"
#include "core/FrontmostApplicationTracker.h"
#include "core/IconProvider.h"
#include "core/PresenceSource.h"
#include "core/Scheduler.h"
#include "core/UserDefaults.h"
#include "platform/null/NullWindowSystem.h"
#include "tracking/AppTrackerStore.h"

#include <QHash>
#include <QSet>
#include <QVariant>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace nudgewatch::fakes {

// Where the fakes install the application `name`.
inline QString appPath(const QString &name)
{
    return QStringLiteral("/apps/%1.desktop").arg(name);
}

struct FakeClock final : Clock {
    WallTime now() const override { return current; }
    void advance(double s)
    {
        current += std::chrono::duration_cast<WallTime::duration>(std::chrono::duration<double>(s));
    }
    WallTime current = WallTime(std::chrono::seconds(1'800'000'000));
};

// Timers fire as virtual time is advanced; advancing also moves the clock.
struct FakeScheduler final : Scheduler {
    explicit FakeScheduler(FakeClock &clock) : m_clock(clock) {}

    using Callback = std::function<void()>;

    std::unique_ptr<Timer> scheduleRepeating(double t, Callback f, TimerPrecision p) override
    {
        lastPrecision = p;
        return add(t, true, std::move(f));
    }
    std::unique_ptr<Timer> scheduleOnce(double t, Callback f) override { return add(t, false, f); }

    // Runs every timer due within the next `seconds`, in time order. Timers due
    // in the same instant run in the order they were (re)scheduled, as in the
    // event loop: the entries are kept in that order, and a timer that fires
    // goes behind the others.
    void advance(double seconds)
    {
        const double end = m_time + seconds;
        for (;;) {
            std::erase_if(m_entries, [](auto &e) { return !e->valid; });
            const auto next = std::ranges::min_element(
                m_entries, [](auto &a, auto &b) { return a->due < b->due - 1e-9; });
            if (next == m_entries.end() || (*next)->due > end + 1e-9)
                break;
            std::rotate(next, next + 1, m_entries.end());
            const std::shared_ptr<Entry> entry = m_entries.back();
            m_clock.advance(entry->due - m_time);
            m_time = entry->due;
            entry->due += entry->interval;
            entry->valid = entry->repeating;
            entry->callback();
        }
        m_clock.advance(end - m_time);
        m_time = end;
    }

    int activeTimers() const { return int(std::ranges::count_if(m_entries, &Entry::valid)); }

    TimerPrecision lastPrecision = TimerPrecision::Coarse;

    struct Entry {
        double due, interval;
        bool repeating, valid;
        Callback callback;
    };
    struct Handle final : Timer {
        explicit Handle(std::shared_ptr<Entry> e) : entry(std::move(e)) {}
        ~Handle() override { entry->valid = false; }
        void invalidate() override { entry->valid = false; }
        bool isValid() const override { return entry->valid; }
        std::shared_ptr<Entry> entry;
    };

    std::unique_ptr<Timer> add(double interval, bool repeating, Callback callback)
    {
        m_entries.push_back(std::make_shared<Entry>(
            Entry{m_time + interval, interval, repeating, true, std::move(callback)}));
        return std::make_unique<Handle>(m_entries.back());
    }

    FakeClock &m_clock;
    double m_time = 0;
    std::vector<std::shared_ptr<Entry>> m_entries;
};

struct FakeDefaults final : UserDefaults {
    std::optional<QStringList> stringList(const QString &key) const override
    {
        if (const QVariant v = values.value(key); v.typeId() == QMetaType::QStringList)
            return v.toStringList();
        return std::nullopt;
    }
    double doubleValue(const QString &key) const override { return values.value(key).toDouble(); }
    bool setStringList(const QString &key, const QStringList &v) override { return write(key, v); }
    bool setDouble(const QString &key, double v) override { return write(key, v); }

    QHash<QString, QVariant> values;
    bool failWrites = false;
    int writes = 0;

    bool write(const QString &key, const QVariant &value)
    {
        if (failWrites)
            return false;
        ++writes;
        values.insert(key, value);
        return true;
    }
};

struct FakeFileSystem final : FileSystem {
    bool exists(const QString &path) const override { return existing.contains(path); }
    QSet<QString> existing;
};

struct FakeBundleInfo final : BundleInfo {
    BundleNames namesForBundle(const QString &path) const override { return names.value(path); }
    QHash<QString, BundleNames> names;
};

struct FakeTracker final : FrontmostApplicationTracker {
    std::optional<RunningApplication> frontmostApplication() const override { return frontmost; }
    TrackerStatus status() const override { return currentStatus; }
    void runSetup() override { ++setupRuns; }
    void setStatus(TrackerStatus s)
    {
        currentStatus = std::move(s);
        emit statusChanged();
    }
    std::optional<RunningApplication> frontmost;
    TrackerStatus currentStatus;
    int setupRuns = 0;
};

struct FakePresenceSource final : PresenceSource {
    QString name() const override { return QStringLiteral("fake"); }
    void report(PresenceCondition c, bool active, WallTime since = {})
    {
        emit conditionChanged(c, active, since);
    }
};

struct FakeOpener final : ApplicationOpener {
    bool openApplication(const QString &path) override
    {
        opened.append(path);
        return succeeds;
    }
    QStringList opened;
    bool succeeds = true;
};

// Every icon is a square of one colour; the paths asked for are kept.
struct FakeIcons final : IconProvider {
    QImage iconForFile(const QString &path) const override
    {
        requested.append(path);
        QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::darkCyan);
        return image;
    }
    mutable QStringList requested;
};

// The desktop as the store sees it: who is in front, opening, icons.
struct FakeWorkspace {
    void activate(const RunningApplication &app)
    {
        tracker.frontmost = app;
        emit tracker.activated(app);
    }
    FakeTracker tracker;
    FakeOpener opener;
    FakeIcons icons;
};

// A store over fakes, with its services in one place.
struct StoreFixture {
    FakeClock clock;
    FakeScheduler scheduler{clock};
    FakeDefaults defaults;
    FakeFileSystem fileSystem;
    FakeBundleInfo bundleInfo;
    FakeWorkspace workspace;
    NotificationCenter notifications;
    FakePresenceSource presence;
    NullWindowSystem windowSystem; // its signal sent by the tests themselves
    std::size_t nextRandom = 0;
    QStringList panelPosts; // every expand and collapse posted, in order
    QObject postsWatcher;

    StoreFixture()
    {
        for (const QString &name : {notifications::expand, notifications::collapse})
            notifications.addObserver(name, &postsWatcher,
                                      [this, name](const QVariantMap &) { panelPosts << name; });
    }

    // Saves `names` as entries under /apps and makes them exist.
    QStringList install(const QStringList &names)
    {
        QStringList paths;
        for (const QString &name : names) {
            const QString path = appPath(name);
            fileSystem.existing.insert(path);
            bundleInfo.names.insert(path, {name, name});
            paths.append(path);
        }
        return paths;
    }

    // The tracked entries as saved.
    QStringList saved() const
    {
        return defaults.values.value(defaultsKeys::trackedAppPaths).toStringList();
    }

    // The fakes as a store's services, or over other defaults (a real settings file).
    StoreServices services(UserDefaults *otherDefaults = nullptr)
    {
        return {workspace.tracker,
                workspace.opener,
                workspace.icons,
                bundleInfo,
                fileSystem,
                otherDefaults ? *otherDefaults : defaults,
                clock,
                scheduler,
                notifications,
                RandomIndex([this](std::size_t n) { return nextRandom % n; }),
                PresenceSources(1, presence)};
    }
    std::unique_ptr<AppTrackerStore> makeStore(UserDefaults *otherDefaults = nullptr)
    {
        return std::make_unique<AppTrackerStore>(services(otherDefaults));
    }
};

} // namespace nudgewatch::fakes
