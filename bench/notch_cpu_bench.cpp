// CPU time of the program and of the X server over 15 seconds with the reminder
// card shown and all its decorations running, beside a floor: a bare translucent
// window of the card's size repainting one flat colour at the same frame rate,
// measured the same way right after, in the same process and on the same
// server. Then 15 seconds with the panel at rest. The X server is the one in
// $DISPLAY, found by its lock file, so it must be one the benchmark's session
// started (scripts/xvfb-session).
//   notch_cpu_bench [seconds] [device pixel ratio]
#include "card/CardGeometry.h"
#include "card/GlassNotificationView.h"
#include "notch/NotchPanel.h"
#include "notch_panel_rig.h"
#include "platform/qt/QtScheduler.h"
#include "platform/x11/CompositorProbe.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <sys/resource.h>

#include <cmath>

using namespace nudgewatch;

namespace {

double processSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval &t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The process holding the lock of the display in $DISPLAY (":N"), or 0.
qint64 serverPid()
{
    const QByteArray display = qgetenv("DISPLAY");
    const int colon = display.lastIndexOf(':');
    if (colon < 0)
        return 0;
    const QByteArray number = display.mid(colon + 1).split('.').first();
    QFile lock(QStringLiteral("/tmp/.X%1-lock").arg(QString::fromLatin1(number)));
    if (!lock.open(QIODevice::ReadOnly))
        return 0;
    return lock.readAll().trimmed().toLongLong();
}

// CPU time of every thread of a process, from the scheduler's nanosecond counts.
double pidSeconds(qint64 pid)
{
    if (pid <= 0)
        return 0;
    QFile schedstat(QStringLiteral("/proc/%1/schedstat").arg(pid));
    if (!schedstat.open(QIODevice::ReadOnly))
        return 0;
    return schedstat.readAll().split(' ').value(0).toDouble() / 1e9;
}

struct Use {
    double program = 0;
    double server = 0;
};

Use runFor(double seconds, qint64 server)
{
    const Use before{processSeconds(), pidSeconds(server)};
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    return {processSeconds() - before.program, pidSeconds(server) - before.server};
}

// The floor: the cheapest translucent window of the card's size that shows a
// new frame at the card's rate.
class FlatWindow final : public QWidget {
public:
    FlatWindow()
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint)
    {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setGeometry(596, 0, int(cardGeometry::cardWidth), int(cardGeometry::totalHeight));
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(int(std::lround(GlassNotificationView::decorationFrameSeconds * 1000)));
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_frame = (m_frame + 1) % 64;
            update();
        });
    }
    void start() { m_timer.start(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).fillRect(rect(), QColor(40, 40, 48, 200 + m_frame / 2));
    }

private:
    QTimer m_timer;
    int m_frame = 0;
};

void print(const char *label, const Use &use, double seconds)
{
    std::printf("  %-44s program %6.3f s (%5.2f %% of a core)   X server %6.3f s (%5.2f %%)\n",
                label, use.program, 100 * use.program / seconds, use.server,
                100 * use.server / seconds);
}

} // namespace

int main(int argc, char *argv[])
{
    const double seconds = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 15.0;
    const double dpr = argc > 2 ? std::max(1.0, std::atof(argv[2])) : 1.0;
    if (dpr != 1.0)
        qputenv("QT_SCALE_FACTOR", QByteArray::number(dpr));
    QApplication app(argc, argv);
    const qint64 server = serverPid();
    if (server == 0)
        std::fprintf(stderr, "notch_cpu_bench: no lock file for DISPLAY; X server not measured\n");
    Use shown, rest, floor;
    {
        bench::ReminderRig rig;
        QtScheduler timers;
        NotchPanel panel(*rig.store, rig.fixture.notifications, timers, compositingManagerRunning);
        panel.orderFront();

        rig.raise();         // drops the card; the glow, highlight and ripple run from now on
        runFor(1.0, server); // the panel opens
        shown = runFor(seconds, server);
        rig.store->snooze();
        runFor(1.0, server); // the panel closes and comes to rest
        rest = runFor(seconds, server);
    }
    {
        FlatWindow window;
        window.show();
        window.start();
        runFor(1.0, server);
        floor = runFor(seconds, server);
    }
    std::printf("CPU over %.0f s at device pixel ratio %.0f:\n", seconds, dpr);
    print("reminder with all decorations", shown, seconds);
    print("floor: flat translucent 320 x 110, same rate", floor, seconds);
    print("panel at rest", rest, seconds);
    std::printf("goal: reminder <= %.1f %% of a core\n", dpr > 1 ? 1.5 : 1.0);
    return 0;
}
