// Time to paint one frame of the reminder card at device pixel ratio 1 and 2, as
// the window paints it: the area cleared, then painted. While the card fades in
// the whole card is painted each frame; once shown, only what the decorations
// changed. Each reminder starts with empty caches, as on screen after the last
// one hid. Reported as thread CPU time (what the frame costs, whatever else the
// machine runs) and as elapsed time.
//   card_paint_bench [shown frames]
#include "card/GlassNotificationView.h"
#include "notch_panel_rig.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <ctime>

using namespace nudgewatch;

namespace {

double threadMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Frames {
    std::vector<double> cpu, elapsed;
    void add(const Frames &other)
    {
        cpu.insert(cpu.end(), other.cpu.begin(), other.cpu.end());
        elapsed.insert(elapsed.end(), other.elapsed.begin(), other.elapsed.end());
    }
};

void report(const char *label, double dpr, const Frames &frames)
{
    const auto cpu = bench::percentiles(frames.cpu);
    const auto wall = bench::percentiles(frames.elapsed);
    std::printf("card paint %-26s dpr %.0f: CPU p50 %.3f ms  p99 %.3f ms  max %.3f ms   "
                "elapsed p50 %.3f  p99 %.3f ms  (%zu frames)\n",
                label, dpr, cpu.p50, cpu.p99, cpu.max, wall.p50, wall.p99, frames.cpu.size());
}

// One frame: the decorations move on, the area the card asks for is cleared and painted.
void frame(bench::ReminderRig &rig, GlassNotificationView &view, QImage &screen, bool whole,
           Frames &into)
{
    const CardDecorations before = view.decorations();
    rig.fixture.scheduler.advance(GlassNotificationView::decorationFrameSeconds);
    const QRect area =
        whole ? view.rect()
              : GlassCardPainter::changedRect(view.cardLayout(), before, view.decorations());
    QElapsedTimer timer;
    timer.start();
    const double start = threadMs();
    {
        QPainter clear(&screen);
        clear.setCompositionMode(QPainter::CompositionMode_Source);
        clear.fillRect(area, Qt::transparent);
    }
    view.render(&screen, area.topLeft(), QRegion(area));
    into.cpu.push_back(threadMs() - start);
    into.elapsed.push_back(double(timer.nsecsElapsed()) / 1e6);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::ReminderRig rig;
    GlassNotificationView view(*rig.store, rig.fixture.scheduler);
    const int shownFrames = argc > 1 ? std::max(60, std::atoi(argv[1])) : 3000;
    for (double dpr : {1.0, 2.0}) {
        QImage screen(QSize(320, 110) * dpr, QImage::Format_ARGB32_Premultiplied);
        screen.setDevicePixelRatio(dpr);
        screen.fill(Qt::transparent);
        // A new reminder, as after the last one hid: its caches start empty.
        rig.store->snooze();
        QCoreApplication::processEvents();
        rig.fixture.clock.advance(AppTrackerStore::defaultIdleThreshold);
        view.setProgress(0);
        rig.raise();
        // The spring's fade: 0.15 to 0.65 of its progress over about 30 frames.
        Frames fading, shown;
        for (int i = 0; i <= 30; ++i) {
            view.setProgress(0.15 + 0.5 * i / 30.0);
            frame(rig, view, screen, true, fading);
        }
        view.setProgress(1.0);
        frame(rig, view, screen, true, shown);
        for (int i = 1; i < shownFrames; ++i)
            frame(rig, view, screen, false, shown);
        Frames all = fading;
        all.add(shown);
        report("(fading in)", dpr, fading);
        report("(shown, all decorations)", dpr, shown);
        report("(fade-in included)", dpr, all);
    }
    std::printf("goal: p99 <= 0.5 ms per frame, fade-in included\n");
    return 0;
}
