// Time to paint one frame of the reminder card, at device pixel ratio 1 and 2,
// while the decorations move (fully shown) and while the card fades in.
#include "card/GlassNotificationView.h"
#include "notch_panel_rig.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

using namespace nudgewatch;

namespace {

void report(const char *label, double dpr, const std::vector<double> &times)
{
    const auto p = bench::percentiles(times);
    std::printf("card paint %-34s dpr %.0f: p50 %.3f ms  p99 %.3f ms  max %.3f ms  (%zu frames)\n",
                label, dpr, p.p50, p.p99, p.max, times.size());
}

// Paints `frames` frames 1/60 s apart; the first glow cycle (4 s) is reported on
// its own when `coldStart`: its frames fill the caches of the glow's levels.
void measure(const char *label, bench::ReminderRig &rig, GlassNotificationView &view, double dpr,
             double progress, int frames, bool coldStart)
{
    rig.fixture.notifications.post(notifications::progress,
                                   {{notifications::progressKey, progress}});
    QImage image(QSize(320, 110) * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    const int firstCycle = coldStart ? 240 : 0;
    std::vector<double> cold, warm;
    for (int i = 0; i < firstCycle + frames; ++i) {
        rig.fixture.scheduler.advance(GlassNotificationView::decorationFrameSeconds);
        image.fill(Qt::transparent);
        QElapsedTimer timer;
        timer.start();
        view.render(&image);
        (i < firstCycle ? cold : warm).push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    if (coldStart)
        report("(first glow cycle, caches filling)", dpr, cold);
    report(label, dpr, warm);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::ReminderRig rig;
    GlassNotificationView view(*rig.store, rig.fixture.notifications, rig.fixture.scheduler);
    rig.raise();
    const int frames = argc > 1 ? std::max(60, std::atoi(argv[1])) : 3000;
    for (double dpr : {1.0, 2.0}) {
        // A new reminder at each density: its caches start empty, as on screen.
        rig.store->snooze();
        QCoreApplication::processEvents();
        rig.fixture.clock.advance(AppTrackerStore::defaultIdleThreshold);
        rig.raise();
        measure("(shown, all animations)", rig, view, dpr, 1.0, frames, true);
        measure("(fading in)", rig, view, dpr, 0.4, frames / 3, false);
    }
    std::printf("goal: p99 <= 0.5 ms per frame\n");
    return 0;
}
