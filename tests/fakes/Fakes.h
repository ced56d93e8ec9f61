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
    void set(WallTime t) { m_now = t; }

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
            std::shared_ptr<Entry> next;
            for (const auto &entry : m_entries) {
                if (!entry->valid || entry->due > end + 1e-9)
                    continue;
                if (!next || entry->due < next->due - 1e-9 ||
                    (entry->due <= next->due + 1e-9 && entry->order < next->order))
                    next = entry;
            }
            if (!next)
                break;
            m_clock.advance(next->due - m_time);
            m_time = next->due;
            if (next->repeating) {
                next->due += next->interval;
                next->order = ++m_order;
            } else {
                next->valid = false;
            }
            const auto callback = next->callback;
            callback();
        }
        m_clock.advance(end - m_time);
        m_time = end;
        std::erase_if(m_entries, [](auto &e) { return !e->valid; });
    }

    int activeTimers() const
    {
        return int(
            std::count_if(m_entries.begin(), m_entries.end(), [](auto &e) { return e->valid; }));
    }

    TimerPrecision lastPrecision = TimerPrecision::Coarse;

private:
    struct Entry {
        double due = 0;
        double interval = 0;
        bool repeating = false;
        bool valid = true;
        long order = 0;
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
        auto entry = std::make_shared<Entry>();
        entry->due = m_time + interval;
        entry->interval = interval;
        entry->repeating = repeating;
        entry->order = ++m_order;
        entry->callback = std::move(callback);
        m_entries.push_back(entry);
        return std::make_unique<Handle>(entry);
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
    double doubleValue(const QString &key) const override
    {
        bool ok = false;
        const double d = values.value(key).toDouble(&ok);
        return ok ? d : 0.0;
    }
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
        return openSucceeds;
    }
    QStringList opened;
    bool openSucceeds = true;
};

// Every icon is a square of one colour.
class FakeIcons final : public IconProvider {
    Q_OBJECT
public:
    QImage iconForFile(const QString &) const override
    {
        QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
        image.fill(iconColor);
        return image;
    }
    void change(QColor color)
    {
        iconColor = color;
        emit iconsChanged();
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
