// CPU time the program uses at rest, with five tracked applications, the
// settings window closed and no reminder due, on a private Xvfb.
//   app_idle_cpu_bench [seconds]
#include "app_session.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

using namespace appbench;

namespace {

// CPU seconds the program uses over `seconds` once its window is mapped and,
// if `closeWindow`, closed again; negative when the window never appeared or
// the program ended.
double restingCpu(const XServer &x, const QString &program, const QByteArray &windowName,
                  const ProgramHome &home, int seconds, bool closeWindow)
{
    QProcess process;
    process.setProcessEnvironment(home.environment(x));
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, {});
    const auto window = waitForMappedWindow(x, windowName, 20000);
    double used = -1;
    if (process.waitForStarted() && window) {
        if (closeWindow)
            requestClose(x, *window);
        QThread::sleep(2);
        const double before = cpuSeconds(process.processId());
        QThread::sleep(seconds);
        const double after = cpuSeconds(process.processId());
        if (process.state() == QProcess::Running)
            used = after - before;
    }
    stopProcess(process);
    return used;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(5, atoi(argv[1])) : 60;
    XServer x;
    if (!x.isRunning()) // it has said how to run the benchmark
        return 1;
    // A threshold beyond the measurement: no card drops while measuring.
    ProgramHome home(5, 600);
    const double program =
        restingCpu(x, QStringLiteral(NUDGEWATCH), "Nudgewatch", home, seconds, true);
    const double bare =
        restingCpu(x, QStringLiteral(BARE_WINDOW), "Bare window", home, seconds, false);
    if (program < 0 || bare < 0) {
        std::fprintf(stderr, "a window did not appear, or the program ended when it was closed\n");
        return 1;
    }
    std::printf(
        "CPU at rest over %d s: nudgewatch (window closed, 5 tracked apps) %.4f s per minute "
        "(goal <= 0.005); a bare Qt window left open %.4f s per minute\n",
        seconds, program * 60.0 / seconds, bare * 60.0 / seconds);
    return 0;
}
