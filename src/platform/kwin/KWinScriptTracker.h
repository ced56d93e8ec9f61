#pragma once

#include "core/FrontmostApplicationTracker.h"
#include "core/WindowRaiser.h"
#include "platform/kwin/KWinFocusLogic.h"
#include "platform/kwin/KWinScripting.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QTimer>

#include <memory>

namespace nudgewatch {

class DesktopEntryRegistry;

// The front application on KDE Plasma's Wayland session (KWin 5.27 and 6). No
// Wayland protocol tells an ordinary client which window is active there, so
// a small KWin script, loaded at start and unloaded at exit, calls back into
// this object on the session bus at every activation. Calls are taken only
// from the current owner of org.kde.KWin; a restarted KWin gets the script
// again. Windows are raised through one-shot scripts.
class KWinScriptTracker final : public FrontmostApplicationTracker, public WindowRaiser {
    Q_OBJECT
public:
    // How long a "no window" report waits for the window that usually follows
    // it before nothing is taken to be in front.
    static constexpr int settleMs = 300;

    KWinScriptTracker(const DesktopEntryRegistry &entries, QDBusConnection bus,
                      QObject *parent = nullptr);
    ~KWinScriptTracker() override;

    // Exports the callback object and loads the script. Empty on success,
    // else why the session's KWin cannot be followed.
    QString start();

    std::optional<RunningApplication> frontmostApplication() const override;
    TrackerStatus status() const override;
    bool reportsFullscreen() const override { return true; }
    // The output KWin shows the active window on.
    FrontWindowPlace frontWindowPlace() const override { return {std::nullopt, m_output}; }
    // Asks KWin to activate the window of the entry used last; false when the
    // entry has no window.
    bool raiseWindowOf(const QString &entryPath) override;

private:
    class Receiver;
    void received(const KWinCall &call, bool *accepted);
    QString loadScript();
    void kwinOwnerChanged(const QString &newOwner);
    RunningApplication resolve(const KWinWindow &window) const;

    const DesktopEntryRegistry &m_entries;
    QDBusConnection m_bus;
    KWinFocusLogic m_logic;
    KWinScripting m_scripting;
    std::unique_ptr<Receiver> m_receiver;
    QDBusServiceWatcher m_kwinWatcher;
    QTimer m_settle;
    bool m_fullscreen = false;
    QString m_output;
    bool m_running = false;
    quint64 m_raises = 0;
};

} // namespace nudgewatch
