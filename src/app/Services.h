#pragma once

// The desktop services the tracking logic relies on. Each is an interface handed
// to constructors, so the logic runs against the real desktop, a null backend or
// test fakes alike. Everything here is used from the main thread only.

#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>

namespace nudgewatch {

// What the desktop tells about one running application. Both values are optional:
// a window may resolve to no desktop entry, or carry no usable name.
struct RunningApplication {
    std::optional<QString> localizedName;
    // Path of the desktop entry the application resolves to (its "bundle").
    std::optional<QString> bundlePath;

    friend bool operator==(const RunningApplication &, const RunningApplication &) = default;
};

// The frontmost application, its activations, opening applications, file icons.
class Workspace : public QObject {
    Q_OBJECT
public:
    // Key of the RunningApplication (as a QVariant) in an activation's user info.
    static constexpr const char *applicationKey = "application";

    using QObject::QObject;
    ~Workspace() override = default;

    virtual std::optional<RunningApplication> frontmostApplication() const = 0;
    // Activates a running instance or launches the entry. Returns whether the
    // request was handed to the desktop; callers are free to ignore it.
    virtual bool openApplication(const QString &bundlePath) = 0;
    // A 48 x 48 point icon for the file; never a null image.
    virtual QImage iconForFile(const QString &path) const = 0;

signals:
    // One emission per change of the frontmost application, on the main thread.
    // userInfo[applicationKey] holds a RunningApplication.
    void didActivateApplication(const QVariantMap &userInfo);
};

// Names an application's entry gives itself.
struct BundleNames {
    std::optional<QString> localizedName; // in the user's language
    std::optional<QString> name;          // untranslated
};

class BundleInfo {
public:
    virtual ~BundleInfo() = default;
    virtual BundleNames namesForBundle(const QString &path) const = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True for an existing file or directory.
    virtual bool exists(const QString &path) const = 0;
};

// Per-user values kept across runs.
class UserDefaults {
public:
    virtual ~UserDefaults() = default;
    // None when the key is absent or does not hold a list of strings.
    virtual std::optional<QStringList> stringList(const QString &key) const = 0;
    // 0 when the key is absent or its value is not a number.
    virtual double doubleValue(const QString &key) const = 0;
    // Both return false when the value could not be stored durably.
    virtual bool setStringList(const QString &key, const QStringList &value) = 0;
    virtual bool setDouble(const QString &key, double value) = 0;
};

using WallTime = std::chrono::system_clock::time_point;

inline double secondsBetween(WallTime from, WallTime to)
{
    return std::chrono::duration<double>(to - from).count();
}

class Clock {
public:
    virtual ~Clock() = default;
    virtual WallTime now() const = 0;
};

// A scheduled timer. Destroying it invalidates it, so an owner that holds its
// timers is never called back after it is gone.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void invalidate() = 0;
    virtual bool isValid() const = 0;
};

enum class TimerPrecision { Coarse, Precise };

class Scheduler {
public:
    virtual ~Scheduler() = default;
    virtual std::unique_ptr<Timer>
    scheduleRepeating(double intervalSeconds, std::function<void()> callback,
                      TimerPrecision precision = TimerPrecision::Coarse) = 0;
    // Fires once, then reports itself invalid.
    virtual std::unique_ptr<Timer> scheduleOnce(double delaySeconds,
                                                std::function<void()> callback) = 0;
};

// An application the desktop offers in its menus.
struct InstalledApplication {
    QString desktopId; // e.g. "org.gnome.TextEditor.desktop"
    QString name;      // localized display name
    QString path;      // absolute path of the effective desktop entry: its "bundle path"
    QString comment;   // localized one-line description, may be empty
};

// The installed applications, kept current as entries are installed or removed.
class ApplicationCatalog : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ApplicationCatalog() override = default;

    // Shown entries only, sorted by name (case-insensitively).
    virtual QList<InstalledApplication> installedApplications() const = 0;

signals:
    void changed();
};

// Uniform choice of an index below n (n > 0).
using RandomIndex = std::function<std::size_t(std::size_t n)>;

} // namespace nudgewatch

Q_DECLARE_METATYPE(nudgewatch::RunningApplication)
