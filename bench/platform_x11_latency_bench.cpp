// Latency from a change of _NET_ACTIVE_WINDOW to the store's markUsed, through
// the real X11 workspace and a real store. Needs an X server (no window manager:
// the benchmark writes _NET_ACTIVE_WINDOW itself, as a window manager would).
// Each sample runs from just before the property write is sent, so it also
// holds the server's round trip: an upper bound for the time from the event's
// arrival.

#include "platform/DesktopPlatform.h"
#include "platform/qt/QtScheduler.h"
#include "platform/qt/SettingsDefaults.h"
#include "platform/qt/SystemClock.h"
#include "platform/x11/X11Session.h"
#include "platform/xcb/XcbConnection.h"
#include "platform_bench_util.h"
#include "tracking/AppTrackerStore.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <xcb/xcb_icccm.h>

#include <cstdlib>

using namespace nudgewatch;
using namespace nudgewatch::bench;

namespace {

xcb_window_t createWindow(XcbConnection &x, const char *wmClass, int length)
{
    xcb_connection_t *c = x.connection();
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, x.root(), 0, 0, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_icccm_set_wm_class(c, window, uint32_t(length), wmClass);
    return window;
}

bool writeEntry(const QString &path, const QString &name, const QString &wmClass)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=/bin/true\n"
                                     "StartupWMClass=%2\n")
                          .arg(name, wmClass)
                          .toUtf8()) > 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "needs an X server: tests/e2e/platform_x11_session.sh %s\n", argv[0]);
        return 2;
    }
    QTemporaryDir dir;
    const QString applications = dir.path() + QStringLiteral("/data/applications");
    if (!writeEntries(applications, 2000) ||
        !writeEntry(applications + QStringLiteral("/bench-a.desktop"), QStringLiteral("Bench A"),
                    QStringLiteral("BenchA")) ||
        !writeEntry(applications + QStringLiteral("/bench-b.desktop"), QStringLiteral("Bench B"),
                    QStringLiteral("BenchB")))
        return 1;
    useEntriesBelow(dir.path() + QStringLiteral("/data"));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const auto driver = XcbConnection::open();
    if (!driver)
        return 1;
    const xcb_window_t windows[] = {createWindow(*driver, "benchA\0BenchA", 14),
                                    createWindow(*driver, "benchB\0BenchB", 14)};
    xcb_flush(driver->connection());

    const auto desktop = DesktopPlatform::createWith([](const DesktopEntryRegistry &entries) {
        return std::make_unique<X11Session>(XcbConnection::open(), entries);
    });
    SettingsDefaults defaults(dir.path() + QStringLiteral("/settings.conf"));
    defaults.setStringList(defaultsKeys::trackedAppPaths,
                           {applications + QStringLiteral("/bench-a.desktop"),
                            applications + QStringLiteral("/bench-b.desktop")});
    SystemClock clock;
    QtScheduler scheduler;
    NotificationCenter notifications;
    AppTrackerStore store({desktop->tracker(),
                           desktop->opener(),
                           desktop->icons(),
                           desktop->bundleInfo(),
                           desktop->fileSystem(),
                           defaults,
                           clock,
                           scheduler,
                           notifications,
                           {}});
    store.startMonitoring();

    bool waiting = false;
    Stopwatch::time_point reached;
    QObject::connect(&store, &AppTrackerStore::objectWillChange, [&] {
        if (waiting) {
            reached = Stopwatch::now();
            waiting = false;
        }
    });

    constexpr int rounds = 2000;
    std::vector<double> samples;
    for (int i = 0; i < rounds + 20; ++i) {
        waiting = true;
        const auto start = Stopwatch::now();
        xcb_change_property(driver->connection(), XCB_PROP_MODE_REPLACE, driver->root(),
                            driver->ewmh()->_NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 32, 1,
                            &windows[i % 2]);
        xcb_flush(driver->connection());
        const auto deadline = start + std::chrono::seconds(5);
        while (waiting && Stopwatch::now() < deadline)
            app.processEvents(QEventLoop::WaitForMoreEvents);
        if (waiting) {
            std::fprintf(stderr, "no markUsed within 5 s at round %d\n", i);
            return 1;
        }
        if (i >= 20) // the first rounds warm caches up
            samples.push_back(std::chrono::duration<double, std::micro>(reached - start).count());
    }
    std::printf(
        "_NET_ACTIVE_WINDOW change -> store markUsed, %d switches (2,002 entries installed):\n"
        "  median %.1f us   p99 %.1f us   max %.1f us\n",
        rounds, percentile(samples, 0.5), percentile(samples, 0.99), percentile(samples, 1.0));
    return 0;
}
