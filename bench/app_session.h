#pragma once

// The X server and session bus the program benchmarks run against, a temporary
// HOME, and a watcher that sees top-level windows being mapped.

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <map>
#include <memory>
#include <optional>

namespace appbench {

// The X server in DISPLAY and the session bus in DBUS_SESSION_BUS_ADDRESS, as a
// desktop session has. Unless `windowManager` is WindowManager::Allowed, the
// server must have no window manager, so top-level windows are mapped at once
// and timings do not include one. A private pair of them:
//   scripts/xvfb-session --displays 60-69 --no-wm --dbus -- <benchmark>
//   scripts/xvfb-session --displays 60-69 --compositor --dbus -- <benchmark>
enum class WindowManager { Refused, Allowed };

class XServer {
public:
    explicit XServer(WindowManager windowManager = WindowManager::Refused);
    ~XServer();
    XServer(const XServer &) = delete;
    XServer &operator=(const XServer &) = delete;
    bool isRunning() const { return m_connection != nullptr && !m_busAddress.isEmpty(); }
    const QString &display() const { return m_display; }
    const QString &busAddress() const { return m_busAddress; }
    xcb_connection_t *connection() const { return m_connection; }
    xcb_window_t root() const { return m_root; }

private:
    QString m_display;
    QString m_busAddress;
    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
};

// Waits for a top-level window with the given WM_NAME to be mapped, directly on
// the root or, under a window manager, inside its frame.
std::optional<xcb_window_t> waitForMappedWindow(const XServer &x, const QByteArray &name,
                                                int timeoutMs);

// Resident set size and CPU time of a process, from /proc.
qint64 residentKiB(qint64 pid);
// Anonymous memory (heap, stacks, private data): what the process itself
// allocated, as opposed to library pages counted in its RSS.
qint64 anonymousKiB(qint64 pid);
// Private dirty memory: pages only this process has written, library data included.
qint64 privateDirtyKiB(qint64 pid);
double cpuSeconds(qint64 pid);

// CPU time and context switches (each wake-up from a wait is one) of each of a
// process's threads, by thread id.
struct ThreadFigures {
    QString name;
    double cpuSeconds = 0;
    qint64 switches = 0;
};
std::map<qint64, ThreadFigures> threadFigures(qint64 pid);

// What the threads used between two samples. A thread started in between counts
// from zero; one that ended in between is named in `ended`, since what it used
// after the first sample can no longer be read.
struct ThreadUse {
    double cpuSeconds = 0;
    qint64 switches = 0;
    QStringList ended;
};
ThreadUse threadUse(const std::map<qint64, ThreadFigures> &before,
                    const std::map<qint64, ThreadFigures> &after);

// A temporary HOME with `tracked` tracked applications and a threshold.
class ProgramHome {
public:
    // `copiesOfFirst`: how many times the first entry is listed (a file edited by hand).
    ProgramHome(int tracked, double thresholdSeconds, int copiesOfFirst = 1);
    QProcessEnvironment environment(const XServer &x) const;

private:
    QTemporaryDir m_dir;
};

double median(std::vector<double> values);

// Asks a started program to quit, then kills it after five seconds.
void stopProcess(QProcess &process);

} // namespace appbench
