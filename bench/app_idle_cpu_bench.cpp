// CPU time and wake-ups of the program at rest as a user runs it (five tracked
// entries in the user's applications folder, the settings window shown and then
// closed by xdotool as a window manager would, 10 s to settle, no reminder due) next to its floor,
// a bare Qt program woken by a 1-second timer, both running side by side on the same private X
// session, so load from elsewhere on the machine falls on both alike. In the
// same run, the program's memory at rest next to a bare window showing one line
// of text.
//   scripts/xvfb-session --displays 60-69 --screen 1512x982x24 --compositor --dbus --
//       app_idle_cpu_bench [seconds [settle seconds]]
// or in a headless sway session (scripts/sway-session -- app_idle_cpu_bench ...), where the
// program also follows the compositor and its idle notifications over Wayland.
#include "app_session.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

using namespace appbench;

namespace {

using Sample = std::map<qint64, ThreadFigures>;

Sample sample(const QProcess &process)
{
    return threadFigures(process.processId());
}

void start(QProcess &process, const QString &program, const XServer &x, const ProgramHome &home)
{
    process.setProcessEnvironment(home.environment(x));
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, {});
    process.waitForStarted();
}

// Reports a line of figures for one process over `seconds`.
void report(const char *label, const ThreadUse &use, int seconds)
{
    std::printf("  %-52s %.4f s CPU per minute, %.2f wake-ups per second\n", label,
                use.cpuSeconds * 60.0 / seconds, double(use.switches) / seconds);
    if (!use.ended.isEmpty())
        std::printf("    (threads that ended while measured, not counted after the first "
                    "sample: %s)\n",
                    qPrintable(use.ended.join(QStringLiteral(", "))));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(5, atoi(argv[1])) : 60;
    const int settleSeconds = argc > 2 ? std::max(1, atoi(argv[2])) : 10;
    XServer x(WindowManager::Allowed);
    if (!x.isRunning()) // it has said how to run the benchmark
        return 1;
    // A threshold beyond the measurement: no card drops while measuring.
    ProgramHome programHome(5, 600);
    ProgramHome floorHome(0, 600);

    QProcess program, floor, window;
    start(program, QStringLiteral(NUDGEWATCH), x, programHome);
    program.setStandardOutputFile(QProcess::nullDevice());
    start(floor, QStringLiteral(BARE_TIMER), x, floorHome);
    const auto settings = waitForMappedWindow(x, "Nudgewatch", 20000);
    const bool floorReady = floor.waitForReadyRead(20000);
    // Started only now: the wait sees windows as they are mapped, one name at a time.
    window.setProcessEnvironment(floorHome.environment(x));
    window.start(QStringLiteral(BARE_WINDOW), {QStringLiteral("--text")});
    const bool windowReady = waitForMappedWindow(x, "Bare window", 20000).has_value();
    if (!settings || !floorReady || !windowReady) {
        std::fprintf(stderr, "%s\n",
                     !settings ? "the settings window did not appear"
                               : "a floor program did not start");
        stopProcess(program);
        stopProcess(floor);
        stopProcess(window);
        return 1;
    }
    // Closed as users close it under a window manager that ends the window
    // itself: the X window is destroyed under the program.
    QProcess close;
    QProcessEnvironment closeEnv = QProcessEnvironment::systemEnvironment();
    closeEnv.insert(QStringLiteral("DISPLAY"), x.display());
    close.setProcessEnvironment(closeEnv);
    close.start(QStringLiteral("xdotool"),
                {QStringLiteral("windowclose"), QString::number(*settings)});
    if (!close.waitForFinished(10000) || close.exitCode() != 0) {
        std::fprintf(stderr, "xdotool could not close the settings window\n");
        stopProcess(program);
        stopProcess(floor);
        stopProcess(window);
        return 1;
    }
    QThread::sleep(settleSeconds);
    const Sample programBefore = sample(program), floorBefore = sample(floor);
    QThread::sleep(seconds);
    const Sample programAfter = sample(program), floorAfter = sample(floor);
    const qint64 programRss = residentKiB(program.processId());
    const qint64 windowRss = residentKiB(window.processId());
    const qint64 programDirty = privateDirtyKiB(program.processId());
    const qint64 windowDirty = privateDirtyKiB(window.processId());
    stopProcess(window);
    const bool programRan = program.state() == QProcess::Running;
    const bool floorRan = floor.state() == QProcess::Running;
    stopProcess(program);
    stopProcess(floor);
    if (!programRan || !floorRan) {
        const QProcess &ended = programRan ? floor : program;
        std::fprintf(stderr, "%s ended while being measured (exit status %d, %s)\n",
                     programRan ? "the floor program" : "nudgewatch", ended.exitCode(),
                     ended.exitStatus() == QProcess::CrashExit ? "crashed" : "exited");
        return 1;
    }

    const ThreadUse programUse = threadUse(programBefore, programAfter);
    const ThreadUse floorUse = threadUse(floorBefore, floorAfter);
    std::printf("at rest over %d s, side by side:\n", seconds);
    report("nudgewatch (5 tracked apps, settings window closed)", programUse, seconds);
    report("floor: bare Qt program, 1-second timer", floorUse, seconds);
    std::printf("RATIO CPU at rest per minute, nudgewatch / 1-second-timer floor: %.2f "
                "(goal <= 1.5)\n",
                floorUse.cpuSeconds > 0 ? programUse.cpuSeconds / floorUse.cpuSeconds : 0.0);
    std::printf("RSS at rest: nudgewatch %lld KiB, bare window with one line of text %lld KiB\n",
                programRss, windowRss);
    std::printf("RATIO RSS at rest, nudgewatch / bare window: %.2f (goal <= 1.25)\n",
                windowRss > 0 ? double(programRss) / double(windowRss) : 0.0);
    std::printf("private dirty at rest (smaps_rollup): nudgewatch %lld KiB, bare window with one "
                "line of text %lld KiB\n",
                programDirty, windowDirty);
    std::printf("RATIO private dirty at rest, nudgewatch / bare window: %.2f\n",
                windowDirty > 0 ? double(programDirty) / double(windowDirty) : 0.0);
    std::printf("ratio wake-ups, nudgewatch / floor: %.2f\n",
                floorUse.switches > 0 ? double(programUse.switches) / double(floorUse.switches)
                                      : 0.0);
    return 0;
}
