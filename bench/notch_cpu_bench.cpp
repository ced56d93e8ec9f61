// CPU time of the program, of the X server and of the compositing manager while
// the reminder card shows with all its decorations running, beside a floor: a
// bare translucent window of the card's size repainting a flat card at the
// display's rate. At device pixel ratio 1 and 2 (QT_SCALE_FACTOR), in rounds
// that take turns between card and floor, so that whatever else the machine
// runs weighs on both alike; each figure is the median of the rounds with
// their range. Then the panel at rest. The X server is the one in $DISPLAY,
// found by its lock file, so it must be one the benchmark's session started
// (scripts/xvfb-session), or the Xwayland named in XWAYLAND_PID
// (scripts/gnome-session); the compositing manager, or GNOME Shell, is the
// one the session names in XVFB_SESSION_COMPOSITOR_PID.
//   notch_cpu_bench [seconds per run] [rounds]
// Each run is a process of its own (the scale is fixed at start-up):
//   notch_cpu_bench --measure card|floor|rest RATIO SECONDS
#include "card/CardGeometry.h"
#include "card/GlassNotificationView.h"
#include "notch/NotchPanel.h"
#include "notch_panel_rig.h"
#include "platform/qt/QtScheduler.h"
#include "platform/x11/CompositorProbe.h"
#include "platform/x11/X11WindowSystem.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

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
    // A Wayland compositor holds the lock of the display its Xwayland serves.
    if (const qint64 xwayland = qEnvironmentVariable("XWAYLAND_PID").toLongLong(); xwayland > 0)
        return xwayland;
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

// Seconds of CPU of the program, the X server and the compositing manager.
using Use = std::array<double, 3>;
constexpr std::array<const char *, 3> useNames{"program", "X server", "compositor"};

Use runFor(double seconds, qint64 server, qint64 compositor)
{
    const Use before{processSeconds(), pidSeconds(server), pidSeconds(compositor)};
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    return {processSeconds() - before[0], pidSeconds(server) - before[1],
            pidSeconds(compositor) - before[2]};
}

// The floor: the cheapest translucent window of the card's size that shows a
// new frame of a flat card at the display's rate.
class FlatWindow final : public QWidget {
public:
    FlatWindow()
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint)
    {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setGeometry(596, 0, int(cardGeometry::cardWidth), int(cardGeometry::totalHeight));
        const double rate = screen() && screen()->refreshRate() > 1 ? screen()->refreshRate() : 60;
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(int(std::lround(1000 / rate)));
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

// One run in this process: prints the three CPU times in seconds.
int measure(int argc, char *argv[], const QString &subject, double seconds)
{
    QApplication app(argc, argv);
    const qint64 server = serverPid();
    const qint64 compositor = qEnvironmentVariable("XVFB_SESSION_COMPOSITOR_PID").toLongLong();
    Use use{};
    if (subject == QLatin1String("floor")) {
        FlatWindow window;
        window.show();
        window.start();
        runFor(1.0, server, compositor);
        use = runFor(seconds, server, compositor);
    } else {
        bench::ReminderRig rig;
        QtScheduler timers;
        const std::unique_ptr<X11WindowSystem> x11 = X11WindowSystem::open();
        NotchPanel panel(*rig.store, rig.fixture.notifications, timers,
                         x11 ? static_cast<WindowSystem &>(*x11) : rig.fixture.windowSystem,
                         compositingManagerRunning);
        panel.orderFront();
        rig.raise();                     // drops the card; its decorations run from now on
        runFor(1.0, server, compositor); // the panel opens
        if (subject == QLatin1String("rest")) {
            rig.store->snooze();
            runFor(1.0, server, compositor); // the panel closes and comes to rest
        }
        use = runFor(seconds, server, compositor);
    }
    std::printf("%.6f %.6f %.6f\n", use[0], use[1], use[2]);
    return 0;
}

// Runs this program again to measure one subject at one ratio.
std::optional<Use> measured(const QString &subject, int ratio, double seconds)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(ratio));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--measure"), subject, QString::number(ratio), QString::number(seconds)});
    if (!child.waitForFinished(int(seconds * 1000) + 60000) || child.exitCode() != 0)
        return std::nullopt;
    const QList<QByteArray> fields = child.readAllStandardOutput().simplified().split(' ');
    if (fields.size() != 3)
        return std::nullopt;
    return Use{fields[0].toDouble(), fields[1].toDouble(), fields[2].toDouble()};
}

struct Spread {
    double median = 0, low = 0, high = 0;
};

Spread spread(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

QString shown(const Spread &s)
{
    return QString::asprintf("%.2f (%.2f-%.2f)", s.median, s.low, s.high);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 5 && QByteArray(argv[1]) == "--measure") {
        qputenv("QT_SCALE_FACTOR", argv[3]);
        return measure(argc, argv, QString::fromLatin1(argv[2]), std::max(1.0, std::atof(argv[4])));
    }
    const double seconds = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 10.0;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    QCoreApplication app(argc, argv);
    if (serverPid() == 0)
        std::fprintf(stderr, "notch_cpu_bench: no lock file for DISPLAY; X server not measured\n");
    const bool composited = qEnvironmentVariableIsSet("XVFB_SESSION_COMPOSITOR_PID");
    bool failed = false;
    for (const int ratio : {1, 2}) {
        // Per subject and figure, the percentages of a core of each round.
        std::map<QString, std::array<std::vector<double>, 3>> percent;
        std::array<std::vector<double>, 3> ratios;
        for (int round = 0; round < rounds; ++round) {
            const bool floorFirst = round % 2 != 0;
            std::optional<Use> card, floor;
            for (const QString &subject :
                 {floorFirst ? QStringLiteral("floor") : QStringLiteral("card"),
                  floorFirst ? QStringLiteral("card") : QStringLiteral("floor")})
                (subject == QLatin1String("card") ? card : floor) =
                    measured(subject, ratio, seconds);
            if (!card || !floor) {
                failed = true;
                continue;
            }
            for (std::size_t i = 0; i < 3; ++i) {
                percent[QStringLiteral("card")][i].push_back(100 * (*card)[i] / seconds);
                percent[QStringLiteral("floor")][i].push_back(100 * (*floor)[i] / seconds);
                if ((*floor)[i] > 0)
                    ratios[i].push_back((*card)[i] / (*floor)[i]);
            }
        }
        const std::optional<Use> rest = measured(QStringLiteral("rest"), ratio, seconds);
        std::printf("device pixel ratio %d: %d rounds of %.0f s, %% of a core, median (range)\n",
                    ratio, rounds, seconds);
        std::printf("  %-12s %-24s %-44s %s\n", "", "reminder card",
                    "floor: flat translucent 320 x 110 window", "card / floor");
        for (std::size_t i = 0; i < 3; ++i) {
            if (i == 2 && !composited)
                continue;
            // Xwayland's share under GNOME Shell rounds to nothing: no ratio of it.
            const Spread floorUse = spread(percent[QStringLiteral("floor")][i]);
            std::printf("  %-12s %-24s %-44s %s\n", useNames[i],
                        qPrintable(shown(spread(percent[QStringLiteral("card")][i]))),
                        qPrintable(shown(floorUse)),
                        floorUse.median < 0.05 ? "-" : qPrintable(shown(spread(ratios[i]))));
        }
        if (rest)
            std::printf("  panel at rest: program %.3f %%, X server %.3f %%\n",
                        100 * (*rest)[0] / seconds, 100 * (*rest)[1] / seconds);
        else
            failed = true;
    }
    std::printf("goal: card / floor <= 1.0 for the program and for the X server\n");
    return failed ? 1 : 0;
}
