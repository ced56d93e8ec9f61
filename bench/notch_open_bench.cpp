// A full open and close of the real panel on the X display in $DISPLAY, with real
// timers: steps, duration (72 steps in 0.60 s +- 5 %), largest gap between steps.
#include "notch/NotchPanel.h"
#include "notch_panel_rig.h"
#include "platform/qt/QtScheduler.h"
#include "platform/x11/CompositorProbe.h"
#include "platform/x11/X11WindowSystem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

using namespace nudgewatch;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    bench::ReminderRig rig;
    QtScheduler timers;
    const std::unique_ptr<X11WindowSystem> x11 = X11WindowSystem::open();
    NotchPanel panel(*rig.store, rig.fixture.notifications, timers,
                     x11 ? static_cast<WindowSystem &>(*x11) : rig.fixture.windowSystem,
                     compositingManagerRunning);
    panel.orderFront();

    QElapsedTimer clock;
    std::vector<qint64> stamps;
    QObject context;
    bool settled = false;
    QObject::connect(&panel, &NotchPanel::progressChanged, &context, [&](double progress) {
        stamps.push_back(clock.nsecsElapsed());
        if (progress == panel.springState().target)
            settled = true;
    });

    auto runOnce = [&](const char *label, auto trigger) {
        stamps.clear();
        settled = false;
        clock.start();
        trigger();
        while (!settled)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // The settling step posts twice; both belong to step 72.
        const int steps = int(stamps.size()) - 1;
        const double seconds = double(stamps[stamps.size() - 2]) / 1e9;
        double largestGap = double(stamps.front()) / 1e6;
        for (std::size_t i = 1; i + 1 < stamps.size(); ++i)
            largestGap = std::max(largestGap, double(stamps[i] - stamps[i - 1]) / 1e6);
        const bool within = seconds >= 0.57 && seconds <= 0.63;
        std::printf("%-6s %d steps in %.3f s (%s 0.60 s +- 5 %%), largest gap %.2f ms\n", label,
                    steps, seconds, within ? "within" : "OUTSIDE", largestGap);
        // Let the last frame reach the server before the next run.
        QEventLoop pause;
        QTimer::singleShot(300, &pause, &QEventLoop::quit);
        pause.exec();
    };

    for (int round = 0; round < 3; ++round) {
        runOnce("open", [&] { rig.raise(); });
        runOnce("close", [&] { rig.store->snooze(); });
        rig.fixture.clock.advance(AppTrackerStore::defaultIdleThreshold);
    }
    return 0;
}
