// The panel's spring timer, frames and posts, driven by virtual time.
#include "card/GlassNotificationView.h"
#include "fakes/Fakes.h"
#include "notch/NotchPanel.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

struct PanelRig {
    StoreFixture fixture;
    std::unique_ptr<AppTrackerStore> store;
    std::unique_ptr<NotchPanel> panel;
    std::vector<double> posts;

    PanelRig()
    {
        fixture.defaults.values.insert(defaultsKeys::trackedAppPaths, fixture.install({"Notes"}));
        store = fixture.makeStore();
        panel = std::make_unique<NotchPanel>(*store, fixture.notifications, fixture.scheduler,
                                             fixture.windowSystem);
        panel->orderFront();
        QObject::connect(panel.get(), &NotchPanel::progressChanged, store.get(),
                         [this](double progress) { posts.push_back(progress); });
    }
};

QRect expectedGeometry(int height)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    return {screen.x() + (screen.width() - 320) / 2, screen.y(), 320, height};
}

// Posts `name`, then steps the panel beside a spring of the test's own until that
// settles. At every step the window sits at the top centre with the spring's
// height, or is gone while that is under a point; the panel posts each step's
// value and, at rest, the exact target.
void runBeside(PanelRig &rig, const QString &name, SpringState state)
{
    rig.posts.clear();
    rig.fixture.notifications.post(name);
    std::vector<double> expected;
    for (bool settled = false; !settled;) {
        rig.fixture.scheduler.advance(spring::timeStep + 1e-6);
        const SpringStepResult step = stepSpring(state);
        const double height = 110 * step.frameProgress;
        QCOMPARE(rig.panel->isVisible(), height >= 1);
        if (height >= 1)
            QCOMPARE(rig.panel->geometry(), expectedGeometry(qRound(height)));
        expected.push_back(step.postedProgress);
        settled = step.settled;
    }
    expected.push_back(state.target);
    QCOMPARE(rig.posts, expected);
}

} // namespace

class NotchPanelTest : public QObject {
    Q_OBJECT
private slots:
    void opensAndClosesWithTheSpring()
    {
        PanelRig rig;
        QVERIFY(!rig.panel->isVisible());                      // closed: no window to see
        rig.fixture.notifications.post(notifications::expand); // twice: still one step a tick
        runBeside(rig, notifications::expand, {0, 0, 1});
        QCOMPARE(rig.fixture.scheduler.lastPrecision, TimerPrecision::Precise);
        QVERIFY(!rig.panel->isSpringRunning()); // at rest nothing runs
        QVERIFY(!rig.panel->isActiveWindow());  // shown, it never takes the focus
        runBeside(rig, notifications::collapse, {1, 0, 0});
    }

    // A reminder drops the card into view with its decorations running; when the
    // reminder hides itself they stop.
    void reminderFromTheStoreDropsTheCard()
    {
        PanelRig rig;
        rig.store->startMonitoring();
        rig.fixture.scheduler.advance(AppTrackerStore::defaultIdleThreshold + 0.6);
        QCoreApplication::processEvents();
        QCOMPARE(rig.panel->geometry(), expectedGeometry(110));
        QCOMPARE(rig.panel->cardView()->progress(), 1.0);
        QVERIFY(rig.panel->cardView()->decorationsRunning());
        rig.fixture.scheduler.advance(AppTrackerStore::autoHideSeconds);
        QCoreApplication::processEvents();
        QVERIFY(!rig.panel->cardView()->decorationsRunning());
    }
};

QTEST_MAIN(NotchPanelTest)
#include "notch_panel_test.moc"
