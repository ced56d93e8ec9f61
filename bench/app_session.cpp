#include "app_session.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace appbench {

static bool windowManagerRunning(xcb_connection_t *c, xcb_window_t root)
{
    const char name[] = "_NET_SUPPORTING_WM_CHECK";
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
    if (!atom)
        return false;
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
    const bool running = reply && xcb_get_property_value_length(reply) > 0;
    free(reply);
    free(atom);
    return running;
}

XServer::XServer(WindowManager windowManager)
    : m_display(qEnvironmentVariable("DISPLAY")),
      m_busAddress(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"))
{
    const char *hint = windowManager == WindowManager::Allowed
                           ? "run it as: scripts/xvfb-session --displays 60-69 --compositor "
                             "--dbus -- <benchmark>"
                           : "run it as: scripts/xvfb-session --displays 60-69 --no-wm --dbus "
                             "-- <benchmark>";
    if (m_display.isEmpty() || m_busAddress.isEmpty()) {
        std::fprintf(stderr, "needs an X server and a session bus; %s\n", hint);
        return;
    }
    xcb_connection_t *c = xcb_connect(m_display.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "cannot connect to %s; %s\n", qPrintable(m_display), hint);
        xcb_disconnect(c);
        return;
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    if (windowManager == WindowManager::Refused && windowManagerRunning(c, m_root)) {
        std::fprintf(stderr, "%s has a window manager; %s\n", qPrintable(m_display), hint);
        xcb_disconnect(c);
        return;
    }
    m_connection = c;
    // Map notifications of the root's children (no window manager) and changes
    // of its client list (a window manager took a window into a frame).
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
}

XServer::~XServer()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

static QByteArray windowName(const XServer &x, xcb_window_t window)
{
    const auto cookie = xcb_get_property(x.connection(), 0, window, XCB_ATOM_WM_NAME,
                                         XCB_GET_PROPERTY_TYPE_ANY, 0, 256);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(x.connection(), cookie, nullptr);
    QByteArray name;
    if (reply) {
        name = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                          xcb_get_property_value_length(reply));
        free(reply);
    }
    return name;
}

static xcb_atom_t atom(const XServer &x, const char *name)
{
    const auto cookie = xcb_intern_atom(x.connection(), 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(x.connection(), cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
}

static std::vector<xcb_window_t> clientList(const XServer &x, xcb_atom_t listAtom)
{
    const auto cookie =
        xcb_get_property(x.connection(), 0, x.root(), listAtom, XCB_ATOM_WINDOW, 0, 1024);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(x.connection(), cookie, nullptr);
    std::vector<xcb_window_t> windows;
    if (reply) {
        const auto *values = static_cast<const xcb_window_t *>(xcb_get_property_value(reply));
        windows.assign(values, values + xcb_get_property_value_length(reply) / 4);
        free(reply);
    }
    return windows;
}

static bool isViewable(const XServer &x, xcb_window_t window)
{
    xcb_get_window_attributes_reply_t *reply = xcb_get_window_attributes_reply(
        x.connection(), xcb_get_window_attributes(x.connection(), window), nullptr);
    const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    free(reply);
    return viewable;
}

std::optional<xcb_window_t> waitForMappedWindow(const XServer &x, const QByteArray &name,
                                                int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    const int fd = xcb_get_file_descriptor(x.connection());
    const xcb_atom_t listAtom = atom(x, "_NET_CLIENT_LIST");
    std::vector<xcb_window_t> seen, candidates;
    while (clock.elapsed() < timeoutMs) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(x.connection())) {
            std::optional<xcb_window_t> found;
            const int type = event->response_type & ~0x80;
            if (type == XCB_MAP_NOTIFY) {
                const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
                const bool candidate = std::find(candidates.begin(), candidates.end(),
                                                 map->window) != candidates.end();
                if (candidate || windowName(x, map->window) == name)
                    found = map->window;
            } else if (type == XCB_PROPERTY_NOTIFY &&
                       reinterpret_cast<xcb_property_notify_event_t *>(event)->atom == listAtom) {
                // A window manager took a new client: follow its own mapping.
                for (xcb_window_t window : clientList(x, listAtom)) {
                    if (std::find(seen.begin(), seen.end(), window) != seen.end())
                        continue;
                    seen.push_back(window);
                    if (windowName(x, window) != name)
                        continue;
                    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
                    xcb_change_window_attributes(x.connection(), window, XCB_CW_EVENT_MASK, &mask);
                    candidates.push_back(window);
                    if (isViewable(x, window))
                        found = window;
                }
            }
            free(event);
            if (found)
                return found;
        }
        pollfd waiting{fd, POLLIN, 0};
        poll(&waiting, 1, 5);
    }
    return std::nullopt;
}

qint64 residentKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

namespace {

// One "Field:   N kB" line of /proc/PID/smaps_rollup.
qint64 rollupKiB(qint64 pid, const QByteArray &field)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : rollup.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toLongLong();
    return -1;
}

} // namespace

qint64 anonymousKiB(qint64 pid)
{
    return rollupKiB(pid, "Anonymous");
}

qint64 privateDirtyKiB(qint64 pid)
{
    return rollupKiB(pid, "Private_Dirty");
}

double cpuSeconds(qint64 pid)
{
    // schedstat counts nanoseconds on the CPU per thread; /proc/PID/stat only
    // whole clock ticks (10 ms), too coarse for a program at rest.
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    double total = 0;
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(tasks.filePath(task) + QStringLiteral("/schedstat"));
        if (schedstat.open(QIODevice::ReadOnly))
            total += schedstat.readAll().split(' ').value(0).toDouble() / 1e9;
    }
    return total;
}

std::map<qint64, ThreadFigures> threadFigures(qint64 pid)
{
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    std::map<qint64, ThreadFigures> figures;
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        ThreadFigures thread;
        QFile comm(tasks.filePath(task) + QStringLiteral("/comm"));
        if (comm.open(QIODevice::ReadOnly))
            thread.name = QString::fromUtf8(comm.readAll().trimmed());
        QFile schedstat(tasks.filePath(task) + QStringLiteral("/schedstat"));
        if (schedstat.open(QIODevice::ReadOnly))
            thread.cpuSeconds = schedstat.readAll().split(' ').value(0).toDouble() / 1e9;
        QFile status(tasks.filePath(task) + QStringLiteral("/status"));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : status.readAll().split('\n'))
                if (line.startsWith("voluntary_ctxt_switches:") ||
                    line.startsWith("nonvoluntary_ctxt_switches:"))
                    thread.switches += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        }
        figures.emplace(task.toLongLong(), thread);
    }
    return figures;
}

ThreadUse threadUse(const std::map<qint64, ThreadFigures> &before,
                    const std::map<qint64, ThreadFigures> &after)
{
    ThreadUse use;
    for (const auto &[id, thread] : after) {
        const auto earlier = before.find(id);
        const ThreadFigures start = earlier != before.end() ? earlier->second : ThreadFigures{};
        use.cpuSeconds += thread.cpuSeconds - start.cpuSeconds;
        use.switches += thread.switches - start.switches;
    }
    for (const auto &[id, thread] : before)
        if (!after.count(id))
            use.ended.append(thread.name);
    return use;
}

ProgramHome::ProgramHome(int tracked, double thresholdSeconds, int copiesOfFirst)
{
    const QString apps = m_dir.path() + QStringLiteral("/data/applications");
    QDir().mkpath(apps);
    QDir().mkpath(m_dir.path() + QStringLiteral("/config/Nudgewatch"));
    QDir().mkpath(m_dir.path() + QStringLiteral("/run"));
    QFile(m_dir.path() + QStringLiteral("/run"))
        .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QStringList paths;
    for (int i = 0; i < tracked; ++i) {
        const QString path = QStringLiteral("%1/bench-app-%2.desktop").arg(apps).arg(i);
        QFile entry(path);
        entry.open(QIODevice::WriteOnly);
        entry.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=Bench App %1\n"
                                   "Exec=xterm -class BenchApp%1\nIcon=utilities-terminal\n")
                        .arg(i)
                        .toUtf8());
        paths.append(path);
    }
    for (int copy = 1; copy < copiesOfFirst && !paths.isEmpty(); ++copy)
        paths.append(paths.first());
    QFile settings(m_dir.path() + QStringLiteral("/config/Nudgewatch/Nudgewatch.conf"));
    settings.open(QIODevice::WriteOnly);
    settings.write(QStringLiteral("[General]\nNudgewatch.trackedAppPaths=%1\n"
                                  "Nudgewatch.idleThreshold=%2\n")
                       .arg(paths.join(QStringLiteral(", ")))
                       .arg(thresholdSeconds)
                       .toUtf8());
}

QProcessEnvironment ProgramHome::environment(const XServer &x) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), x.display());
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), x.busAddress());
    env.insert(QStringLiteral("HOME"), m_dir.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.path() + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), m_dir.path() + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path() + QStringLiteral("/run"));
    // In a Wayland session the program's windows are on Xwayland, whatever this
    // says; the floors' are put there too, to compare like with like.
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // The runtime folder above is not the compositor's: its socket goes by its full path.
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (!wayland.isEmpty() && !wayland.startsWith(u'/'))
        env.insert(QStringLiteral("WAYLAND_DISPLAY"),
                   qEnvironmentVariable("XDG_RUNTIME_DIR") + u'/' + wayland);
    return env;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

void stopProcess(QProcess &process)
{
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
    }
}

} // namespace appbench
