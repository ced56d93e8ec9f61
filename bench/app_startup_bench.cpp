// Start-up time to the settings window being mapped, and memory with the
// window open and five tracked applications, each against the floor: a bare Qt
// window of the same size showing one line of text, started the same way, on a
// private Xvfb without a window manager (a plain window is printed for reference).
//   scripts/xvfb-session --displays 60-69 --no-wm --dbus -- app_startup_bench [runs]
#include "app_session.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

using namespace appbench;

namespace {

struct Run {
    double startupMs = -1;
    double cpuToMapMs = -1; // CPU the process used until its window was mapped
    qint64 rssKiB = -1;
    qint64 anonymousKiB = -1;
};

Run measure(const XServer &x, const QString &program, const QByteArray &windowName,
            const ProgramHome &home, const QStringList &arguments = {})
{
    QProcess process;
    process.setProcessEnvironment(home.environment(x));
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    Run run;
    if (process.waitForStarted() && waitForMappedWindow(x, windowName, 20000)) {
        run.startupMs = double(clock.nsecsElapsed()) / 1e6;
        run.cpuToMapMs = cpuSeconds(process.processId()) * 1e3;
        QThread::msleep(1500); // let the first paints and lazy loads settle
        run.rssKiB = residentKiB(process.processId());
        run.anonymousKiB = anonymousKiB(process.processId());
    }
    stopProcess(process);
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    XServer x;
    if (!x.isRunning()) // it has said how to run the benchmark
        return 1;
    ProgramHome bareHome(0, 60);
    ProgramHome programHome(5, 600);
    // Warm the font and icon caches once for both.
    measure(x, QStringLiteral(BARE_WINDOW), "Bare window", bareHome);
    measure(x, QStringLiteral(NUDGEWATCH), "Nudgewatch", programHome);

    const QStringList withText{QStringLiteral("--text")};
    measure(x, QStringLiteral(BARE_WINDOW), "Bare window", bareHome, withText);

    std::vector<double> bareMs, programMs, bareRss, programRss, bareAnonymous, programAnonymous;
    std::vector<double> textMs, textRss, textAnonymous, textCpu, programCpu;
    for (int i = 0; i < runs; ++i) {
        const Run bare = measure(x, QStringLiteral(BARE_WINDOW), "Bare window", bareHome);
        const Run text = measure(x, QStringLiteral(BARE_WINDOW), "Bare window", bareHome, withText);
        const Run program = measure(x, QStringLiteral(NUDGEWATCH), "Nudgewatch", programHome);
        if (bare.startupMs < 0 || text.startupMs < 0 || program.startupMs < 0) {
            std::fprintf(stderr, "a window did not appear\n");
            return 1;
        }
        bareMs.push_back(bare.startupMs);
        textMs.push_back(text.startupMs);
        textRss.push_back(double(text.rssKiB));
        textAnonymous.push_back(double(text.anonymousKiB));
        textCpu.push_back(text.cpuToMapMs);
        programCpu.push_back(program.cpuToMapMs);
        programMs.push_back(program.startupMs);
        bareRss.push_back(double(bare.rssKiB));
        programRss.push_back(double(program.rssKiB));
        bareAnonymous.push_back(double(bare.anonymousKiB));
        programAnonymous.push_back(double(program.anonymousKiB));
    }
    // The floor is the bare window with one line of text: any window showing text
    // pays for the font database, fontconfig, FreeType and HarfBuzz.
    const double floorStart = median(textMs), programStart = median(programMs);
    const double floorMem = median(textRss), programMem = median(programRss);
    std::printf("runs: %d (medians)\n", runs);
    std::printf("start-up to window mapped: floor (bare window, one line of text) %.1f ms, "
                "nudgewatch %.1f ms\n",
                floorStart, programStart);
    std::printf("RSS with the window mapped: floor %.0f KiB, nudgewatch (5 apps) %.0f KiB\n",
                floorMem, programMem);
    std::printf("RATIO start-up to mapped, nudgewatch / bare window: %.2f (goal <= 1.5)\n",
                programStart / floorStart);
    std::printf("ratio RSS with the settings window open, nudgewatch / bare window: %.2f "
                "(the goal, 1.25, is for the program at rest: app_idle_cpu_bench)\n",
                programMem / floorMem);
    std::printf("CPU used until mapped (steadier than wall time on a busy machine): floor %.1f ms, "
                "nudgewatch %.1f ms, ratio %.2f\n",
                median(textCpu), median(programCpu), median(programCpu) / median(textCpu));
    std::printf("reference, bare window without text: start-up %.1f ms (nudgewatch ratio %.2f), "
                "RSS %.0f KiB (nudgewatch ratio %.2f)\n",
                median(bareMs), programStart / median(bareMs), median(bareRss),
                programMem / median(bareRss));
    std::printf("anonymous memory (heap): floor %.0f KiB, bare window without text %.0f KiB, "
                "nudgewatch %.0f KiB, ratio to the floor %.2f\n",
                median(textAnonymous), median(bareAnonymous), median(programAnonymous),
                median(programAnonymous) / median(textAnonymous));

    // A file edited by hand that lists one entry many times: the cost must not
    // grow with the copies.
    for (const int copies : {1, 2000, 100000}) {
        const ProgramHome copiesHome(5, 600, copies);
        std::vector<double> ms, rss;
        for (int i = 0; i < std::max(3, runs / 3); ++i) {
            const Run run = measure(x, QStringLiteral(NUDGEWATCH), "Nudgewatch", copiesHome);
            ms.push_back(run.startupMs);
            rss.push_back(double(run.rssKiB));
        }
        std::printf("first of 5 entries listed %6d times: start-up %.1f ms, RSS %.0f KiB\n", copies,
                    median(ms), median(rss));
    }
    return 0;
}
