#pragma once

#include "core/RunningApplication.h"
#include "platform/session/ActivationFilter.h"

#include <QHash>
#include <QString>
#include <QVariantList>

#include <functional>
#include <optional>

namespace nudgewatch {

// The interface the program's KWin script calls.
inline const QString focusInterface = QStringLiteral("org.nudgewatch.KWinFocus");

// A window as the KWin script reports it. Empty strings are facts KWin did not have.
struct KWinWindow {
    QString id; // KWin's internalId, "{uuid}"
    QString desktopFileName;
    QString resourceClass;
    QString resourceName;
    qint64 pid = 0;

    friend bool operator==(const KWinWindow &, const KWinWindow &) = default;
};

// One call of the script into the program, as it came off the bus.
struct KWinCall {
    QString sender; // unique bus name of the caller
    QString interface;
    QString member;
    QVariantList arguments;
};

// What the calls of the KWin script mean, without a bus or a timer: which
// windows exist, and one activation per change of application. KWin reports
// "no window" before every activation of a window (a few milliseconds apart),
// so a null only counts once settle() says no window followed it.
class KWinFocusLogic {
public:
    using Resolve = std::function<RunningApplication(const KWinWindow &)>;
    static constexpr qsizetype maxWindows = 1024;
    static constexpr qsizetype maxText = 255;

    KWinFocusLogic(Resolve resolve, qint64 ownPid);

    struct Outcome {
        bool accepted = false;       // false: not KWin, or arguments out of shape
        bool awaitingWindow = false; // a null came: call settle() unless a window follows
        std::optional<RunningApplication> announce;
        std::optional<bool> fullscreen; // the active window is (not) fullscreen
        std::optional<QString> output;  // the name of the active window's output
    };
    Outcome handle(const KWinCall &call);
    // No window followed the last null: nothing is in front, announced as an
    // unknown application unless that was already so.
    std::optional<RunningApplication> settle();

    // Calls are taken only from this bus name (the owner of org.kde.KWin).
    // A new owner is a new KWin: the windows of the old one are gone.
    void setKWinOwner(const QString &uniqueName);

    std::optional<RunningApplication> front() const;
    // The id of the window of the entry used last, none when it has no window.
    std::optional<QString> windowOf(const QString &entryPath) const;

private:
    struct Known {
        KWinWindow window;
        quint64 lastActive = 0;
    };
    static std::optional<KWinWindow> parseWindow(const QVariantList &arguments);
    RunningApplication applicationOf(const KWinWindow &window) const;
    void remember(const KWinWindow &window, bool active);

    Resolve m_resolve;
    qint64 m_ownPid;
    QString m_owner;
    QHash<QString, Known> m_windows;
    quint64 m_activations = 0;
    ActivationFilter m_filter;
};

} // namespace nudgewatch
