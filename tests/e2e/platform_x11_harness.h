#pragma once

// What the X11 end-to-end tests drive: programs they start and stop themselves
// (openbox, xterm windows), xdotool, and root properties.

#include "platform/x11/XcbConnection.h"

#include <QProcess>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace nudgewatch::e2e {

// Programs started directly (never through a shell) and stopped by the harness:
// terminated, waited for, killed if they linger.
class ChildProcesses {
public:
    // The environment the programs run in (the program's own is changed for GIO).
    explicit ChildProcesses(
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment())
        : m_environment(std::move(environment))
    {
    }
    ~ChildProcesses();
    QProcess *start(const QString &program, const QStringList &arguments);
    static void stop(QProcess *process);
    void stopAll();

private:
    QProcessEnvironment m_environment;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

// Runs a short tool to its end; its standard output, trimmed.
QString runTool(const QString &program, const QStringList &arguments, int timeoutMs = 15000);

// Window ids that xdotool finds for an exact title, waiting until one exists.
xcb_window_t windowWithTitle(const QString &title);
bool activateWindow(xcb_window_t window);

// Reads and writes root-window properties on the test's own connection.
class RootProperties {
public:
    RootProperties();
    std::optional<xcb_window_t> activeWindow();
    // Whether _NET_SUPPORTING_WM_CHECK names a window that exists.
    bool windowManagerRunning();
    // Writes _NET_ACTIVE_WINDOW as a window manager would (None or a repeat).
    void writeActiveWindow(xcb_window_t window);

private:
    std::unique_ptr<XcbConnection> m_x;
};

} // namespace nudgewatch::e2e
