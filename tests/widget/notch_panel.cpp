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
    std::vector<QVariant> posts;
    QObject context;

    PanelRig()
    {
        fixture.defaults.values.insert(defaultsKeys::trackedAppPaths,
                                       fixture.install({QStringLiteral("Notes")}));
        fixture.workspace.frontmost = RunningApplication{QStringLiteral("Terminal"), {}};
        store = fixture.makeStore();
        panel = std::make_unique<NotchPanel>(*store, fixture.notifications, fixture.scheduler);
        panel->orderFront();
        fixture.notifications.addObserver(
            notifications::progress, &context, [this](const QVariantMap &info) {
                posts.push_back(info.value(notifications::progressKey));
            });
    }
    void post(const QString &name) { fixture.notifications.post(name); }
    void steps(int n) { fixture.scheduler.advance(n * spring::timeStep + 1e-6); }
    double last() const { return posts.back().toDouble(); }
};

QRect expectedGeometry(int height)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    return {screen.x() + (screen.width() - 320) / 2, screen.y(), 320, height};
}

} // namespace

class NotchPanelTest : public QObject {
    Q_OBJECT
private slots:
    void opensWithTheSpring();
    void closesMirrored();
    void repeatedTargets_data();
    void repeatedTargets();
    void oneTimerAtMost();
    void collapseMidwayReverses();
    void windowNeverTakesFocus();
    void reminderFromTheStoreDropsTheCard();
};

void NotchPanelTest::opensWithTheSpring()
{
    PanelRig rig;
    QVERIFY(!rig.panel->isVisible()); // closed: no window to see
    rig.post(notifications::expand);
    QVERIFY(rig.panel->isSpringRunning());
    QCOMPARE(rig.fixture.scheduler.lastPrecision, TimerPrecision::Precise);

    rig.steps(1);
    QCOMPARE(rig.posts.size(), std::size_t(1));
    QVERIFY(std::abs(rig.last() - 0.0152778) < 5e-8);
    QVERIFY(std::abs(rig.panel->frameHeight() - 1.6805556) < 1e-6);
    QVERIFY(rig.panel->isVisible());
    QCOMPARE(rig.panel->geometry(), expectedGeometry(2));

    rig.steps(70);
    QVERIFY(rig.panel->isSpringRunning());
    rig.steps(1); // step 72 settles: posts the integrated value, then exactly 1
    QCOMPARE(rig.posts.size(), std::size_t(73));
    QVERIFY(rig.posts[71].toDouble() != 1.0);
    QCOMPARE(rig.posts[72].toDouble(), 1.0);
    QVERIFY(!rig.panel->isSpringRunning());
    QCOMPARE(rig.panel->frameHeight(), 110.0);
    QCOMPARE(rig.panel->geometry(), expectedGeometry(110));
    QCOMPARE(rig.panel->cardView()->geometry(), QRect(0, 0, 320, 110));
    double peak = 0;
    for (const QVariant &p : rig.posts)
        peak = std::max(peak, p.toDouble());
    QVERIFY(std::abs(peak - 1.0057733) < 5e-8);

    rig.steps(120);
    QCOMPARE(rig.posts.size(), std::size_t(73)); // at rest nothing runs
}

void NotchPanelTest::closesMirrored()
{
    PanelRig rig;
    rig.post(notifications::expand);
    rig.steps(72);
    rig.posts.clear();
    rig.post(notifications::collapse);
    rig.steps(72);
    QCOMPARE(rig.posts.size(), std::size_t(73));
    double lowest = 1;
    for (const QVariant &p : rig.posts)
        lowest = std::min(lowest, p.toDouble());
    QVERIFY(std::abs(lowest + 0.0057733) < 5e-8);
    QCOMPARE(rig.last(), 0.0);
    QCOMPARE(rig.panel->frameHeight(), 0.0);
    QVERIFY(!rig.panel->isVisible());
    QVERIFY(!rig.panel->isSpringRunning());
}

void NotchPanelTest::repeatedTargets_data()
{
    QTest::addColumn<bool>("open");
    QTest::newRow("expand while open") << true;
    QTest::newRow("collapse while closed") << false;
}

void NotchPanelTest::repeatedTargets()
{
    QFETCH(bool, open);
    PanelRig rig;
    if (open) {
        rig.post(notifications::expand);
        rig.steps(72);
    }
    rig.posts.clear();
    rig.post(open ? notifications::expand : notifications::collapse);
    rig.steps(1);
    const double target = open ? 1.0 : 0.0;
    QCOMPARE(rig.posts.size(), std::size_t(2));
    QCOMPARE(rig.posts[0].toDouble(), target);
    QCOMPARE(rig.posts[1].toDouble(), target);
    QVERIFY(!rig.panel->isSpringRunning());
    QCOMPARE(rig.panel->isVisible(), open);
}

void NotchPanelTest::oneTimerAtMost()
{
    PanelRig rig;
    rig.post(notifications::expand);
    rig.post(notifications::expand);
    QCOMPARE(rig.fixture.scheduler.activeTimers(), 1);
    rig.steps(1);
    QCOMPARE(rig.posts.size(), std::size_t(1)); // one step per tick, not two
}

void NotchPanelTest::collapseMidwayReverses()
{
    PanelRig rig;
    rig.post(notifications::expand);
    rig.steps(20);
    rig.post(notifications::collapse);
    rig.steps(200);
    QCOMPARE(rig.last(), 0.0);
    for (std::size_t i = 1; i < rig.posts.size(); ++i)
        QVERIFY2(std::abs(rig.posts[i].toDouble() - rig.posts[i - 1].toDouble()) < 0.08,
                 qPrintable(QStringLiteral("%1: %2 %3")
                                .arg(i)
                                .arg(rig.posts[i - 1].toDouble())
                                .arg(rig.posts[i].toDouble())));
    QVERIFY(!rig.panel->isVisible());
}

void NotchPanelTest::windowNeverTakesFocus()
{
    PanelRig rig;
    const Qt::WindowFlags flags = rig.panel->windowFlags();
    QVERIFY(flags.testFlag(Qt::X11BypassWindowManagerHint));
    QVERIFY(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(rig.panel->testAttribute(Qt::WA_ShowWithoutActivating));
    QVERIFY(rig.panel->testAttribute(Qt::WA_TranslucentBackground));
    rig.post(notifications::expand);
    rig.steps(72);
    QVERIFY(rig.panel->isVisible());
    QVERIFY(!rig.panel->isActiveWindow());
}

void NotchPanelTest::reminderFromTheStoreDropsTheCard()
{
    PanelRig rig;
    rig.store->startMonitoring();
    rig.fixture.scheduler.advance(AppTrackerStore::defaultIdleThreshold);
    QVERIFY(rig.store->alertApp().has_value());
    QVERIFY(rig.panel->isSpringRunning());
    rig.fixture.scheduler.advance(0.6);
    QCoreApplication::processEvents();
    QCOMPARE(rig.panel->geometry(), expectedGeometry(110));
    QCOMPARE(rig.panel->cardView()->progress(), 1.0);
    QVERIFY(rig.panel->cardView()->decorationsRunning());
    QVERIFY(!rig.panel->cardView()->visibleOutline().isEmpty());

    // Left alone, the reminder hides itself after 15 seconds and the panel closes.
    rig.fixture.scheduler.advance(AppTrackerStore::autoHideSeconds - 0.6 + 0.01);
    QCoreApplication::processEvents();
    QVERIFY(!rig.store->alertApp());
    QVERIFY(!rig.panel->cardView()->decorationsRunning());
    rig.fixture.scheduler.advance(0.6);
    QVERIFY(!rig.panel->isVisible() || rig.store->alertApp()); // a new tick may raise it again
}

QTEST_MAIN(NotchPanelTest)
#include "notch_panel.moc"
