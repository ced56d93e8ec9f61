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
    QObject context;

    PanelRig()
    {
        fixture.defaults.values.insert(defaultsKeys::trackedAppPaths, fixture.install({"Notes"}));
        fixture.workspace.tracker.frontmost = RunningApplication{QStringLiteral("Terminal"), {}};
        store = fixture.makeStore();
        panel = std::make_unique<NotchPanel>(*store, fixture.notifications, fixture.scheduler);
        panel->orderFront();
        fixture.notifications.addObserver(
            notifications::progress, &context, [this](const QVariantMap &info) {
                posts.push_back(info.value(notifications::progressKey).toDouble());
            });
    }
    void post(const QString &name) { fixture.notifications.post(name); }
    void steps(int n) { fixture.scheduler.advance(n * spring::timeStep + 1e-6); }
};

QRect expectedGeometry(int height)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    return {screen.x() + (screen.width() - 320) / 2, screen.y(), 320, height};
}

// What the panel should post from a state: each step's value, then the exact target.
std::vector<double> springPosts(SpringState state)
{
    std::vector<double> posts;
    for (;;) {
        const SpringStepResult result = stepSpring(state);
        posts.push_back(result.postedProgress);
        if (result.settled)
            break;
    }
    posts.push_back(state.target);
    return posts;
}

} // namespace

class NotchPanelTest : public QObject {
    Q_OBJECT
private slots:
    void opensAndClosesWithTheSpring()
    {
        PanelRig rig;
        QVERIFY(!rig.panel->isVisible()); // closed: no window to see
        rig.post(notifications::expand);
        QCOMPARE(rig.fixture.scheduler.lastPrecision, TimerPrecision::Precise);
        rig.steps(1);
        SpringState first{0, 0, 1};
        const double frame = stepSpring(first).frameProgress;
        QVERIFY(rig.panel->isVisible());
        QCOMPARE(rig.panel->geometry(), expectedGeometry(qRound(110 * frame)));

        rig.steps(300);
        QCOMPARE(rig.posts, springPosts({0, 0, 1}));
        QVERIFY(!rig.panel->isSpringRunning()); // at rest nothing runs
        QVERIFY(!rig.panel->isActiveWindow());  // shown, it never takes the focus
        QCOMPARE(rig.panel->geometry(), expectedGeometry(110));
        QCOMPARE(rig.panel->cardView()->geometry(), QRect(0, 0, 320, 110));

        rig.posts.clear();
        rig.post(notifications::collapse);
        rig.steps(300);
        QCOMPARE(rig.posts, springPosts({1, 0, 0}));
        QCOMPARE(rig.panel->frameHeight(), 0.0);
        QVERIFY(!rig.panel->isVisible());
    }

    void repeatedTargets_data()
    {
        QTest::addColumn<bool>("open");
        QTest::newRow("expand while open") << true;
        QTest::newRow("collapse while closed") << false;
    }
    void repeatedTargets()
    {
        QFETCH(bool, open);
        PanelRig rig;
        if (open) {
            rig.post(notifications::expand);
            rig.steps(300);
        }
        rig.posts.clear();
        rig.post(open ? notifications::expand : notifications::collapse);
        rig.steps(1);
        const double target = open ? 1.0 : 0.0;
        QCOMPARE(rig.posts, std::vector<double>({target, target}));
        QVERIFY(!rig.panel->isSpringRunning());
        QCOMPARE(rig.panel->isVisible(), open);
    }

    void oneTimerAtMost()
    {
        PanelRig rig;
        rig.post(notifications::expand);
        rig.post(notifications::expand);
        QCOMPARE(rig.fixture.scheduler.activeTimers(), 1);
        rig.steps(1);
        QCOMPARE(rig.posts.size(), std::size_t(1)); // one step per tick, not two
    }

    void reminderFromTheStoreDropsTheCard()
    {
        PanelRig rig;
        rig.store->startMonitoring();
        rig.fixture.scheduler.advance(AppTrackerStore::defaultIdleThreshold);
        QVERIFY(rig.panel->isSpringRunning());
        rig.fixture.scheduler.advance(0.6);
        QCoreApplication::processEvents();
        QCOMPARE(rig.panel->geometry(), expectedGeometry(110));
        QCOMPARE(rig.panel->cardView()->progress(), 1.0);
        QVERIFY(rig.panel->cardView()->decorationsRunning());
        // Left alone, the reminder hides itself after 15 seconds.
        rig.fixture.scheduler.advance(AppTrackerStore::autoHideSeconds - 0.6 + 0.01);
        QCoreApplication::processEvents();
        QVERIFY(!rig.store->alertApp());
        QVERIFY(!rig.panel->cardView()->decorationsRunning());
    }
};

QTEST_MAIN(NotchPanelTest)
#include "notch_panel_test.moc"
