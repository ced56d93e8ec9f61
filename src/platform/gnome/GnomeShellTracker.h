#pragma once

#include "core/FrontmostApplicationTracker.h"
#include "core/WindowRaiser.h"
#include "platform/gnome/ShellExtension.h"
#include "platform/gnome/ShellExtensionFiles.h"
#include "platform/session/ActivationFilter.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>

#include <optional>

namespace nudgewatch {

class DesktopEntryRegistry;

// The front application of a GNOME Shell session, told by the program's own
// Shell extension over the session bus (GNOME offers ordinary programs no
// other way on Wayland). Follows the extension's bus name (no polling): reads
// the focus when it appears, then its FocusChanged signals, and announces one
// activation per change of application. At most one GetFocus is out at a time,
// and its answer never overrides a newer focus report. Without the extension,
// status() says so and runSetup() installs and enables it; a copy the program
// installed earlier is updated when it is older or made for another shell.
class GnomeShellTracker final : public FrontmostApplicationTracker, public WindowRaiser {
    Q_OBJECT
public:
    GnomeShellTracker(const DesktopEntryRegistry &entries, QDBusConnection bus,
                      ShellExtensionFiles files, QObject *parent = nullptr);

    std::optional<RunningApplication> frontmostApplication() const override;
    TrackerStatus status() const override { return m_status; }
    bool reportsFullscreen() const override { return true; }
    // The monitor the extension last named for the focused window; empty while unknown.
    FrontWindowPlace frontWindowPlace() const override { return m_place; }
    void runSetup() override;
    // Asks the extension to bring the most recent window of the entry at the
    // standard path given to the front; false when it has none.
    bool raiseWindowOf(const QString &entryPath) override;

private slots:
    void onFocusChanged(const QDBusMessage &message);
    void onFullscreenChanged(const QDBusMessage &message);
    void askMonitor();

private:
    // A GetFocus call: its number, and the owners and focus reports seen when
    // it was sent.
    struct Question {
        quint64 serial = 0, owners = 0, reports = 0;
    };
    void askExtension();
    void answered(const Question &question, const QDBusMessage &reply);
    void askShellVersion();
    // False for a malformed report.
    bool observe(const QList<QVariant> &arguments);
    void setAnswering(bool answering);
    void setFullscreen(const QList<QVariant> &arguments);
    void updateStatus();
    void updateFiles();
    std::optional<int> shellMajor();

    const DesktopEntryRegistry &m_entries;
    QDBusConnection m_bus;
    ShellExtensionFiles m_files;
    QDBusServiceWatcher m_watcher;
    ActivationFilter m_filter;
    bool m_answering = false;
    bool m_fullscreen = false;
    std::optional<Question> m_asking; // the GetFocus call out, if any
    bool m_askAgain = false;          // a reason to ask came while it was out
    // Until the extension first answers, what is in front is unknown: no
    // reminder may come, as it could be for the application in use.
    bool m_waiting = true;
    // Whether stderr was told that nothing is followed (once a run).
    bool m_saidUnavailable = false;
    int m_slowAnswers = 0; // questions in a row that timed out
    quint64 m_questions = 0, m_owners = 0, m_reports = 0;
    bool m_changedThisRun = false;
    bool m_updateTried = false;
    std::optional<int> m_shellMajor;
    FrontWindowPlace m_place;
    quint64 m_monitorQuestions = 0; // only the latest answer counts
    QString m_setupError;
    TrackerStatus m_status;
};

} // namespace nudgewatch
