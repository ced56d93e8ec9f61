// CPU time the program uses at rest, with five tracked applications, the
// settings window closed and no reminder due, on a private Xvfb.
//   app_idle_cpu_bench [seconds]
#include "app_session.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

using namespace appbench;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(5, atoi(argv[1])) : 60;
    XServer x;
    if (!x.isRunning()) {
        std::fprintf(stderr,
                     "could not start Xvfb (on a free display in :60-:69) and a session bus\n");
        return 1;
    }
    // A threshold beyond the measurement: no card drops while measuring.
    ProgramHome home(5, 600);
    QProcess process;
    process.setProcessEnvironment(home.environment(x));
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(QStringLiteral(NUDGEWATCH), {});
    const auto window = waitForMappedWindow(x, "Nudgewatch", 20000);
    if (!process.waitForStarted() || !window) {
        std::fprintf(stderr, "the settings window did not appear\n");
        return 1;
    }
    requestClose(x, *window);
    QThread::sleep(2);
    const double before = cpuSeconds(process.processId());
    QThread::sleep(seconds);
    const double after = cpuSeconds(process.processId());
    const bool stillRunning = process.state() == QProcess::Running;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
    }
    if (!stillRunning) {
        std::fprintf(stderr, "the program ended when its window was closed\n");
        return 1;
    }
    const double used = after - before;
    std::printf("CPU at rest, window closed, 5 tracked apps: %.4f s over %d s = %.4f s per minute "
                "(goal <= 0.005)\n",
                used, seconds, used * 60.0 / seconds);
    return 0;
}
