#pragma once

// Test doubles for the desktop services: a settable clock, a scheduler that
// advances virtual time, an in-memory defaults store, a scripted workspace.

#include "core/ApplicationOpener.h"
#include "core/BundleInfo.h"
#include "core/Clock.h"
#include "core/FileSystem.h"
#include "core/FrontmostApplicationTracker.h"
#include "core/IconProvider.h"
#include "core/Scheduler.h"
#include "core/UserDefaults.h"
#include "tracking/AppTrackerStore.h"

#include <QHash>
#include <QSet>
#include <QVariant>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace nudgewatch::fakes {

class FakeClock final : public Clock {
public:
    WallTime now() const override { return m_now; }
    void advance(double seconds)
    {
        m_now +=
            std::chrono::duration_cast<WallTime::duration>(std::chrono::duration<double>(seconds));
    }

private:
    WallTime m_now = WallTime(std::chrono::seconds(1'800'000'000));
};

// Timers fire as virtual time is advanced; advancing also moves the clock.
class FakeScheduler final : public Scheduler {
public:
    explicit FakeScheduler(FakeClock &clock) : m_clock(clock) {}

    std::unique_ptr<Timer>
    scheduleRepeating(double interval, std::function<void()> callback,
                      TimerPrecision precision = TimerPrecision::Coarse) override
    {
        lastPrecision = precision;
        return add(interval, true, std::move(callback));
    }
    std::unique_ptr<Timer> scheduleOnce(double delay, std::function<void()> callback) override
    {
        return add(delay, false, std::move(callback));
    }

    // Runs every timer due within the next `seconds`, in time order. Timers due
    // in the same instant run in the order they were (re)scheduled, as in the
    // event loop: a repeating timer goes behind the others each time it fires.
    void advance(double seconds)
    {
        const double end = m_time + seconds;
        for (;;) {
            std::erase_if(m_entries, [](auto &e) { return !e->valid; });
            const auto next =
                std::min_element(m_entries.begin(), m_entries.end(), [](auto &a, auto &b) {
                    return a->due < b->due - 1e-9 ||
                           (a->due <= b->due + 1e-9 && a->order < b->order);
                });
            if (next == m_entries.end() || (*next)->due > end + 1e-9)
                break;
            const std::shared_ptr<Entry> entry = *next;
            m_clock.advance(entry->due - m_time);
            m_time = entry->due;
            entry->due += entry->interval;
            entry->order = ++m_order;
            entry->valid = entry->repeating;
            const auto callback = entry->callback;
            callback();
        }
        m_clock.advance(end - m_time);
        m_time = end;
    }

    int activeTimers() const
    {
        return int(
            std::count_if(m_entries.begin(), m_entries.end(), [](auto &e) { return e->valid; }));
    }

    TimerPrecision lastPrecision = TimerPrecision::Coarse;

private:
    struct Entry {
        double due, interval;
        bool repeating, valid;
        long order;
        std::function<void()> callback;
    };
    class Handle final : public Timer {
    public:
        explicit Handle(std::shared_ptr<Entry> e) : m_entry(std::move(e)) {}
        ~Handle() override { m_entry->valid = false; }
        void invalidate() override { m_entry->valid = false; }
        bool isValid() const override { return m_entry->valid; }

    private:
        std::shared_ptr<Entry> m_entry;
    };

    std::unique_ptr<Timer> add(double interval, bool repeating, std::function<void()> callback)
    {
        m_entries.push_back(std::make_shared<Entry>(
            Entry{m_time + interval, interval, repeating, true, ++m_order, std::move(callback)}));
        return std::make_unique<Handle>(m_entries.back());
    }

    FakeClock &m_clock;
    double m_time = 0;
    long m_order = 0;
    std::vector<std::shared_ptr<Entry>> m_entries;
};

class FakeDefaults final : public UserDefaults {
public:
    std::optional<QStringList> stringList(const QString &key) const override
    {
        const QVariant v = values.value(key);
        if (v.metaType().id() == QMetaType::QStringList)
            return v.toStringList();
        return std::nullopt;
    }
    double doubleValue(const QString &key) const override { return values.value(key).toDouble(); }
    bool setStringList(const QString &key, const QStringList &value) override
    {
        return write(key, value);
    }
    bool setDouble(const QString &key, double value) override { return write(key, value); }

    QHash<QString, QVariant> values;
    bool failWrites = false;
    int writes = 0;

private:
    bool write(const QString &key, const QVariant &value)
    {
        if (failWrites)
            return false;
        ++writes;
        values.insert(key, value);
        return true;
    }
};

class FakeFileSystem final : public FileSystem {
public:
    bool exists(const QString &path) const override { return existing.contains(path); }
    QSet<QString> existing;
};

class FakeBundleInfo final : public BundleInfo {
public:
    BundleNames namesForBundle(const QString &path) const override { return names.value(path); }
    QHash<QString, BundleNames> names;
};

class FakeTracker final : public FrontmostApplicationTracker {
    Q_OBJECT
public:
    std::optional<RunningApplication> frontmostApplication() const override { return frontmost; }
    void activate(const RunningApplication &app)
    {
        frontmost = app;
        emit activated(app);
    }
    std::optional<RunningApplication> frontmost;
};

class FakeOpener final : public ApplicationOpener {
public:
    bool openApplication(const QString &bundlePath) override
    {
        opened.append(bundlePath);
        return true;
    }
    QStringList opened;
};

// Every icon is a square of one colour.
class FakeIcons final : public IconProvider {
public:
    QImage iconForFile(const QString &) const override
    {
        QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
        image.fill(iconColor);
        return image;
    }
    QColor iconColor = Qt::darkCyan;
};

// The desktop as the store sees it: who is in front, opening, icons.
struct FakeWorkspace {
    void activate(const RunningApplication &app) { tracker.activate(app); }
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
    std::size_t nextRandom = 0;

    // Saves `names` as entries under /apps and makes them exist.
    QStringList install(const QStringList &names)
    {
        QStringList paths;
        for (const QString &name : names) {
            const QString path = QStringLiteral("/apps/%1.desktop").arg(name);
            fileSystem.existing.insert(path);
            bundleInfo.names.insert(path, {name, name});
            paths.append(path);
        }
        return paths;
    }

    // A store over the fakes, or over other defaults (a real settings file).
    std::unique_ptr<AppTrackerStore> makeStore(UserDefaults *otherDefaults = nullptr)
    {
        return std::make_unique<AppTrackerStore>(
            StoreServices{workspace.tracker, workspace.opener, workspace.icons, bundleInfo,
                          fileSystem, otherDefaults ? *otherDefaults : defaults, clock, scheduler,
                          notifications, [this](std::size_t n) {
                              return nextRandom % n;
                          }});
    }
};

} // namespace nudgewatch::fakes
