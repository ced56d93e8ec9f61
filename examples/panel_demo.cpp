// Shows the reminder card on a real display without the settings window: a store
// over fake desktop services, real timers, and a tracked application that goes
// idle at once. Prints what happens, one line per event, for people and scripts:
//   expand | midway | open-settled | collapse open|snooze|autohide | closed-settled
#include "fakes/Fakes.h"
#include "notch/NotchPanel.h"
#include "platform/qt/QtScheduler.h"
#include "platform/x11/CompositorProbe.h"
#include "platform/x11/X11WindowSystem.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

// Stretches every interval: the spring still steps by 1/120 s, so the drop keeps
// its shape in slow motion, which lets a person (or a screenshot) catch it mid-way.
class SlowMotionScheduler final : public Scheduler {
public:
    explicit SlowMotionScheduler(Scheduler &inner) : m_inner(inner) {}
    double factor = 1;

    std::unique_ptr<Timer> scheduleRepeating(double interval, std::function<void()> callback,
                                             TimerPrecision precision) override
    {
        return m_inner.scheduleRepeating(interval * factor, std::move(callback), precision);
    }
    std::unique_ptr<Timer> scheduleOnce(double delay, std::function<void()> callback) override
    {
        return m_inner.scheduleOnce(delay * factor, std::move(callback));
    }

private:
    Scheduler &m_inner;
};

void say(const QString &line)
{
    std::fprintf(stdout, "%s\n", qPrintable(line));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Raises reminders on the notch panel."));
    parser.addHelpOption();
    const QCommandLineOption nameOption(QStringLiteral("app"), QStringLiteral("Tracked name."),
                                        QStringLiteral("name"), QStringLiteral("Notes"));
    const QCommandLineOption slowOption(QStringLiteral("slow-first"),
                                        QStringLiteral("Slow-motion factor of the first drop."),
                                        QStringLiteral("factor"), QStringLiteral("1"));
    const QCommandLineOption countOption(QStringLiteral("reminders"),
                                         QStringLiteral("Reminders to raise, then quit."),
                                         QStringLiteral("count"), QStringLiteral("1"));
    parser.addOptions({nameOption, slowOption, countOption});
    parser.process(app);
    const int reminders = std::max(1, parser.value(countOption).toInt());

    StoreFixture fixture; // fake desktop; its clock stands still unless moved below
    QtScheduler realTimers;
    const QString name = parser.value(nameOption);
    fixture.defaults.values.insert(defaultsKeys::trackedAppPaths, fixture.install({name}));
    fixture.workspace.tracker.frontmost = RunningApplication{QStringLiteral("Terminal"), {}};
    AppTrackerStore store({fixture.workspace.tracker,
                           fixture.workspace.opener,
                           fixture.workspace.icons,
                           fixture.bundleInfo,
                           fixture.fileSystem,
                           fixture.defaults,
                           fixture.clock,
                           realTimers,
                           fixture.notifications,
                           {}});

    SlowMotionScheduler panelTimers(realTimers);
    panelTimers.factor = std::max(1.0, parser.value(slowOption).toDouble());
    const std::unique_ptr<X11WindowSystem> x11 = X11WindowSystem::open();
    NotchPanel panel(store, fixture.notifications, panelTimers,
                     x11 ? static_cast<WindowSystem &>(*x11) : fixture.windowSystem,
                     compositingManagerRunning);
    panel.orderFront();

    // Idle again at ten seconds a second: a jump over the whole threshold would
    // read as a computer that slept, and sleep is left out of the idle clocks.
    QTimer idleAgain;
    idleAgain.setInterval(1000);
    QObject::connect(&idleAgain, &QTimer::timeout, [&] { fixture.clock.advance(10); });
    int shown = 0;
    double lastProgress = 0;
    WallTime lastUsedAtExpand;
    QObject context;
    fixture.notifications.addObserver(notifications::expand, &context, [&](const QVariantMap &) {
        ++shown;
        idleAgain.stop();
        lastUsedAtExpand = store.trackedApps().front().lastUsed;
        say(QStringLiteral("expand"));
    });
    fixture.notifications.addObserver(notifications::collapse, &context, [&](const QVariantMap &) {
        QString how = QStringLiteral("autohide");
        if (!fixture.workspace.opener.opened.isEmpty())
            how = QStringLiteral("open ") + fixture.workspace.opener.opened.takeFirst();
        else if (store.trackedApps().front().lastUsed != lastUsedAtExpand)
            how = QStringLiteral("snooze");
        say(QStringLiteral("collapse ") + how);
        if (shown >= reminders) {
            // Stop tracking, so no further reminder comes before the panel has closed.
            QTimer::singleShot(0, &context, [&] {
                if (!store.trackedApps().empty())
                    store.removeApp(store.trackedApps().front().id);
            });
        }
    });
    bool settleReported = true;
    auto newTarget = [&] {
        settleReported = false;
    };
    fixture.notifications.addObserver(notifications::expand, &context,
                                      [&](const QVariantMap &) { newTarget(); });
    fixture.notifications.addObserver(notifications::collapse, &context,
                                      [&](const QVariantMap &) { newTarget(); });
    QObject::connect(&panel, &NotchPanel::progressChanged, &context, [&](double p) {
        const double target = panel.springState().target;
        if (lastProgress < 0.5 && p >= 0.5 && target == 1)
            say(QStringLiteral("midway"));
        lastProgress = p;
        // The settling step sends the exact target; integration never lands on it.
        if (p != target || settleReported)
            return;
        settleReported = true;
        if (target == 1) {
            say(QStringLiteral("open-settled"));
            panelTimers.factor = 1;
            return;
        }
        say(QStringLiteral("closed-settled"));
        if (shown >= reminders)
            QCoreApplication::quit();
        else
            idleAgain.start();
    });

    // Idle for longer than the threshold already: the first tick raises a reminder.
    fixture.clock.advance(AppTrackerStore::defaultIdleThreshold + 1);
    store.startMonitoring();
    say(QStringLiteral("ready"));
    return app.exec();
}
