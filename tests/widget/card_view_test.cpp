// The reminder card rendered offscreen: what it draws, its buttons, its decorations.
#include "card/GlassCardPainter.h"
#include "card/GlassNotificationView.h"
#include "fakes/Fakes.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QImage>
#include <QPainter>
#include <QTest>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

struct CardRig {
    StoreFixture fixture;
    std::unique_ptr<AppTrackerStore> store;
    std::unique_ptr<GlassNotificationView> view;
    int collapses = 0;
    QObject context;

    explicit CardRig(const QString &appName = QStringLiteral("Notes"))
    {
        fixture.defaults.values.insert(defaultsKeys::trackedAppPaths, fixture.install({appName}));
        fixture.workspace.tracker.frontmost = RunningApplication{QStringLiteral("Terminal"), {}};
        store = fixture.makeStore();
        fixture.notifications.addObserver(notifications::collapse, &context,
                                          [this](const QVariantMap &) { ++collapses; });
        view = std::make_unique<GlassNotificationView>(*store, fixture.notifications,
                                                       fixture.scheduler);
        view->show();
        store->startMonitoring();
    }
    void raiseReminder()
    {
        fixture.scheduler.advance(AppTrackerStore::defaultIdleThreshold);
        QCoreApplication::processEvents();
        QVERIFY(store->alertApp().has_value());
    }
    void setProgress(double p)
    {
        fixture.notifications.post(notifications::progress, {{notifications::progressKey, p}});
    }
    QImage render() const
    {
        QImage image(320, 110, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        view->render(&image);
        return image;
    }
    void clickAt(QPoint point)
    {
        QWidget *target = view->childAt(point);
        if (target == nullptr)
            target = view.get();
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(view.get(), point));
        QCoreApplication::processEvents();
    }
};

// The largest value of a channel inside an area (by green for text: the texts are white).
int maxOf(int (*channel)(QRgb), const QImage &image, const QRect &area = {0, 0, 320, 110})
{
    int best = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            best = std::max(best, channel(image.pixel(x, y)));
    return best;
}

QImage paintCard(const CardDecorations &decorations, double dpr)
{
    GlassCardPainter painter;
    const CardLayout layout = cardLayout(15, 12);
    QImage image(QSize(320, 110) * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter p(&image);
    painter.paint(p, layout, {QStringLiteral("Notes"), QStringLiteral("Notes misses you!"), {}},
                  1.0, decorations);
    return image;
}
int brightness(const QImage &image, QPointF point)
{
    return qGray(image.pixel((point * image.devicePixelRatio()).toPoint()));
}

} // namespace

class CardViewTest : public QObject {
    Q_OBJECT
private slots:
    void drawsNothingWithoutReminder()
    {
        CardRig rig;
        rig.setProgress(1.0);
        QCOMPARE(maxOf(qAlpha, rig.render()), 0);
        QVERIFY(rig.view->visibleOutline().isEmpty());
    }

    void fadesWithProgress_data()
    {
        QTest::addColumn<double>("progress");
        QTest::addColumn<int>("minAlpha");
        QTest::addColumn<int>("maxAlphaAllowed");
        QTest::addColumn<bool>("buttonsShown");
        QTest::newRow("just below the fade") << 0.15 << 0 << 0 << false;
        QTest::newRow("half faded") << 0.4 << 60 << 180 << true;
        QTest::newRow("open") << 1.0 << 200 << 255 << true;
    }

    void fadesWithProgress()
    {
        QFETCH(double, progress);
        QFETCH(int, minAlpha);
        QFETCH(int, maxAlphaAllowed);
        QFETCH(bool, buttonsShown);
        CardRig rig;
        rig.raiseReminder();
        rig.setProgress(progress);
        const QImage image = rig.render();
        const int alpha = qAlpha(image.pixel(160, 74)); // the card's centre
        QCOMPARE_GE(alpha, minAlpha);
        QCOMPARE_LE(alpha, maxAlphaAllowed);
        if (maxAlphaAllowed == 0)
            QCOMPARE(maxOf(qAlpha, image), 0);
        QCOMPARE(rig.view->childAt(QPoint(258, 74)) != nullptr, buttonsShown);
    }

    void longTextsAreCutShort()
    {
        CardRig rig(QStringLiteral("An Application With A Remarkably Long And Winding Name"));
        rig.raiseReminder();
        rig.setProgress(1.0);
        const QImage image = rig.render();
        // Text is white; the glass between the text column and the open button stays dark.
        QVERIFY(maxOf(qGreen, image, QRect(60, 58, 100, 32)) > 200);
        QCOMPARE_LT(maxOf(qGreen, image, QRect(222, 58, 20, 32)), 90);
    }

    void clicks_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("opened");
        QTest::addColumn<int>("collapses");
        QTest::addColumn<bool>("snoozed");
        QTest::newRow("open button") << QPoint(258, 74) << 1 << 1 << false;
        QTest::newRow("snooze button") << QPoint(294, 74) << 0 << 1 << true;
        QTest::newRow("the text") << QPoint(120, 74) << 0 << 0 << false;
        QTest::newRow("between the buttons") << QPoint(277, 74) << 0 << 0 << false;
    }

    void clicks()
    {
        QFETCH(QPoint, point);
        QFETCH(int, opened);
        QFETCH(int, collapses);
        QFETCH(bool, snoozed);
        CardRig rig;
        rig.raiseReminder();
        rig.setProgress(1.0);
        const WallTime before = rig.store->trackedApps().front().lastUsed;
        rig.clickAt(point);
        QCOMPARE(int(rig.fixture.workspace.opener.opened.size()), opened);
        if (opened > 0)
            QCOMPARE(rig.fixture.workspace.opener.opened.front(),
                     QStringLiteral("/apps/Notes.desktop"));
        QCOMPARE(rig.collapses, collapses);
        QCOMPARE(rig.store->trackedApps().front().lastUsed != before, snoozed);
        QCOMPARE(rig.store->alertApp().has_value(), collapses == 0);
    }

    void buttonsAreNamedForAssistiveTools()
    {
        CardRig rig;
        rig.raiseReminder();
        rig.setProgress(1.0);
        QStringList names;
        for (QAbstractButton *button : rig.view->findChildren<QAbstractButton *>()) {
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
            QVERIFY(accessible != nullptr);
            QCOMPARE(accessible->role(), QAccessible::Button);
            names.append(accessible->text(QAccessible::Name));
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        }
        names.sort();
        QCOMPARE(names,
                 QStringList({QStringLiteral("Open Notes"), QStringLiteral("Snooze Notes")}));
    }

    void decorationsFollowTheExpandedFlag()
    {
        CardRig rig;
        QVERIFY(!rig.view->decorationsRunning());
        rig.raiseReminder();
        QVERIFY(rig.view->decorationsRunning());
        rig.fixture.scheduler.advance(1.25);
        QVERIFY(rig.view->decorations().shimmerPhase > 0);

        rig.store->snooze(); // ends the reminder in the middle of every pass
        QCoreApplication::processEvents();
        QVERIFY(!rig.view->decorationsRunning());
        QCOMPARE(rig.view->decorations().shimmerPhase, 0.0);
    }

    void movingLayers_data()
    {
        QTest::addColumn<double>("dpr");
        QTest::newRow("dpr 1") << 1.0;
        QTest::newRow("dpr 2") << 2.0;
    }

    void movingLayers()
    {
        QFETCH(double, dpr);
        // The card spans y 46..102; the first wave's crest lies 14.8 below its top.
        const QImage still = paintCard({0, 0, 0}, dpr);
        const QImage rippling = paintCard({0, 0, 1}, dpr);
        const QPointF aboveWaves(230, 52), underAllWaves(230, 96);
        QVERIFY(std::abs(brightness(rippling, aboveWaves) - brightness(still, aboveWaves)) <= 1);
        QCOMPARE_GE(brightness(rippling, underAllWaves), brightness(still, underAllWaves) + 6);

        // At 200 the band is centred: bright at the middle, nothing at the far right.
        const QImage swept = paintCard({0, 200, 0}, dpr);
        const QPointF middle(160, 60), rightEdge(318, 74);
        QVERIFY(brightness(swept, middle) >= brightness(still, middle) + 15);
        QVERIFY(std::abs(brightness(swept, rightEdge) - brightness(still, rightEdge)) <= 1);
    }
};

QTEST_MAIN(CardViewTest)
#include "card_view_test.moc"
