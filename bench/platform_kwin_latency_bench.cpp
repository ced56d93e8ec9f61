// Latency from asking KWin to activate a window to the KWin tracker's
// `activated`, on a headless KWin (scripts/kwin-session). The windows are a
// native Wayland terminal and an X11 one; each switch goes through the
// tracker's own raise (a one-shot KWin script over D-Bus), so a sample holds
// loading and running that script, KWin's activation, the program's script
// calling back, and resolving the window to its desktop entry.

#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/kwin/KWinScriptTracker.h"
#include "platform_bench_util.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

using namespace nudgewatch;
using namespace nudgewatch::bench;

namespace {

bool writeEntry(const QString &path, const QString &name, const QString &exec,
                const QString &wmClass)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2\n"
                                     "StartupWMClass=%3\n")
                          .arg(name, exec, wmClass)
                          .toUtf8()) > 0;
}

// Runs the event loop until `done` holds or five seconds pass.
template <typename Done> bool waitFor(QGuiApplication &app, Done done)
{
    const auto deadline = Stopwatch::now() + std::chrono::seconds(5);
    while (!done() && Stopwatch::now() < deadline)
        app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "needs a KWin session: scripts/kwin-session -- %s\n", argv[0]);
        return 2;
    }
    QTemporaryDir dir;
    const QString applications = dir.path() + QStringLiteral("/applications");
    QDir().mkpath(applications);
    const QString native =
        applications + QStringLiteral("/org.freedesktop.weston.wayland-terminal.desktop");
    const QString x11 = applications + QStringLiteral("/bench-xterm.desktop");
    if (!writeEntry(native, QStringLiteral("Weston Terminal"), QStringLiteral("weston-terminal"),
                    {}) ||
        !writeEntry(x11, QStringLiteral("XTerm"), QStringLiteral("xterm"), QStringLiteral("XTerm")))
        return 1;
    useEntriesBelow(dir.path());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QProcess terminals[2];
    terminals[0].start(QStringLiteral("weston-terminal"), {});
    terminals[1].start(QStringLiteral("xterm"), {});
    DesktopEntryRegistry entries;
    int status = 0;
    {
        KWinScriptTracker tracker(entries, QDBusConnection::sessionBus());
        const QString error = tracker.start();
        if (!error.isEmpty()) {
            std::fprintf(stderr, "the KWin script did not start: %s\n", qPrintable(error));
            status = 1;
        }
        std::optional<QString> reached;
        QObject::connect(&tracker, &FrontmostApplicationTracker::activated,
                         [&](const RunningApplication &application) {
                             reached = application.bundlePath.value_or(QString());
                         });
        // Each window once, waiting for it to be in front, so no raise is pending
        // when the rounds start (a raise of the window in front announces nothing).
        const QString targets[2] = {x11, native};
        for (const QString &target : targets) {
            if (status == 0 && (!waitFor(app, [&] { return tracker.raiseWindowOf(target); }) ||
                                !waitFor(app, [&] { return reached == target; }))) {
                std::fprintf(stderr, "no window of %s came to the front\n", qPrintable(target));
                status = 1;
            }
        }
        constexpr int rounds = 60, warmUp = 6;
        std::vector<double> samples;
        for (int i = 0; status == 0 && i < rounds + warmUp; ++i) {
            const QString &target = targets[i % 2];
            reached.reset();
            const auto start = Stopwatch::now();
            tracker.raiseWindowOf(target);
            if (!waitFor(app, [&] { return reached == target; })) {
                std::fprintf(stderr, "no activation of %s within 5 s at round %d\n",
                             qPrintable(target), i);
                status = 1;
            } else if (i >= warmUp) {
                samples.push_back(
                    std::chrono::duration<double, std::milli>(Stopwatch::now() - start).count());
            }
        }
        if (status == 0)
            std::printf(
                "raise request -> KWinScriptTracker activated, headless KWin, native and X11 "
                "windows in turn:\n  median %.1f ms   range %.1f-%.1f ms   n=%zu\n",
                percentile(samples, 0.5), percentile(samples, 0.0), percentile(samples, 1.0),
                samples.size());
    }
    for (QProcess &terminal : terminals) {
        terminal.kill();
        terminal.waitForFinished(3000);
    }
    return status;
}
