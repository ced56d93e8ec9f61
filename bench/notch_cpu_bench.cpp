// CPU time of the process on the X display in $DISPLAY over 15 seconds with the
// reminder card shown and all its decorations running, and over 15 seconds with
// the panel at rest (getrusage: user + system).
#include "notch/NotchPanel.h"
#include "notch_panel_rig.h"
#include "platform/qt/QtScheduler.h"
#include "platform/x11/CompositorProbe.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

using namespace nudgewatch;

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval &t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double runFor(double seconds)
{
    const double before = cpuSeconds();
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    return cpuSeconds() - before;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 15.0;
    bench::ReminderRig rig;
    QtScheduler timers;
    NotchPanel panel(*rig.store, rig.fixture.notifications, timers, compositingManagerRunning);
    panel.orderFront();

    rig.raise(); // drops the card; the glow, highlight and ripple run from now on
    const double shown = runFor(seconds);
    rig.store->snooze();
    runFor(1.0); // the panel closes and comes to rest
    const double rest = runFor(seconds);
    std::printf("CPU over %.0f s: reminder with all animations %.3f s (%.1f %% of a core), "
                "at rest %.3f s (%.2f %%)\n",
                seconds, shown, 100 * shown / seconds, rest, 100 * rest / seconds);
    return 0;
}
