// The reminder card rendered offscreen: how it fades, its buttons and its moving layers.
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

// A card over a store of fakes, at `progress` of its fade, with or without a
// reminder for Notes.
struct CardRig {
    StoreFixture fixture;
    std::unique_ptr<AppTrackerStore> store;
    std::unique_ptr<GlassNotificationView> view;
    int collapses = 0;

    explicit CardRig(double progress = 1.0, bool reminder = true)
    {
        fixture.defaults.values.insert(defaultsKeys::trackedAppPaths, fixture.install({"Notes"}));
        store = fixture.makeStore();
        fixture.notifications.addObserver(notifications::collapse, store.get(),
                                          [this](const QVariantMap &) { ++collapses; });
        view = std::make_unique<GlassNotificationView>(*store, fixture.notifications,
                                                       fixture.scheduler);
        view->show();
        store->startMonitoring();
        if (reminder)
            fixture.scheduler.advance(AppTrackerStore::defaultIdleThreshold);
        fixture.notifications.post(notifications::progress,
                                   {{notifications::progressKey, progress}});
        QCoreApplication::processEvents();
    }
};

} // namespace

class CardViewTest : public QObject {
    Q_OBJECT
private slots:
    void fadesWithProgress_data()
    {
        QTest::addColumn<bool>("reminder");
        QTest::addColumn<double>("progress");
        QTest::addColumn<int>("minAlpha");
        QTest::addColumn<int>("maxAlpha");
        QTest::newRow("no reminder") << false << 1.0 << 0 << 0;
        QTest::newRow("just below the fade") << true << 0.15 << 0 << 0;
        QTest::newRow("half faded") << true << 0.4 << 60 << 180;
        QTest::newRow("open") << true << 1.0 << 200 << 255;
    }
    void fadesWithProgress()
    {
        QFETCH(bool, reminder);
        QFETCH(double, progress);
        QFETCH(int, minAlpha);
        QFETCH(int, maxAlpha);
        CardRig rig(progress, reminder);
        QImage image(320, 110, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        rig.view->render(&image);
        const int alpha = qAlpha(image.pixel(160, 74)); // the card's centre
        QCOMPARE_GE(alpha, minAlpha);
        QCOMPARE_LE(alpha, maxAlpha);
        // A card that cannot be seen has no buttons to click.
        QCOMPARE(rig.view->childAt(QPoint(258, 74)) != nullptr, maxAlpha > 0);
    }

    void clicks_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("opened");
        QTest::addColumn<bool>("snoozed");
        QTest::newRow("open button") << QPoint(258, 74) << 1 << false;
        QTest::newRow("snooze button") << QPoint(294, 74) << 0 << true;
        QTest::newRow("between the buttons") << QPoint(277, 74) << 0 << false;
    }
    void clicks()
    {
        QFETCH(QPoint, point);
        QFETCH(int, opened);
        QFETCH(bool, snoozed);
        CardRig rig;
        const WallTime before = rig.store->trackedApps().front().lastUsed;
        QWidget *target = rig.view->childAt(point);
        target = target ? target : rig.view.get();
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(rig.view.get(), point));
        QCOMPARE(rig.fixture.workspace.opener.opened, QStringList(opened, "/apps/Notes.desktop"));
        QCOMPARE(rig.store->trackedApps().front().lastUsed != before, snoozed);
        QCOMPARE(rig.collapses, opened || snoozed ? 1 : 0);
    }

    void buttonsAreNamedForAssistiveTools()
    {
        CardRig rig;
        QStringList names;
        for (QAbstractButton *button : rig.view->findChildren<QAbstractButton *>())
            names << QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
        names.sort();
        QCOMPARE(names, QStringList({"Open Notes", "Snooze"}));
    }

    // Painted at twice the density: the ripple brightens the glass under the waves
    // only (the card spans y 46..102, the first crest 14.8 below its top), and the
    // shimmer band, centred at phase 200, brightens the middle.
    void movingLayers()
    {
        const auto paint = [](const CardDecorations &decorations) {
            QImage image(QSize(640, 220), QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(2);
            image.fill(Qt::transparent);
            QPainter p(&image);
            GlassCardPainter().paint(p, cardLayout(15, 12), {"Notes", "Notes misses you!", {}}, 1.0,
                                     decorations);
            return image;
        };
        const auto gray = [](const QImage &image, QPoint at) {
            return qGray(image.pixel(at * 2));
        };
        const QImage still = paint({0, 0, 0});
        const QImage rippling = paint({0, 0, 1});
        QVERIFY(std::abs(gray(rippling, {230, 52}) - gray(still, {230, 52})) <= 1);
        QCOMPARE_GE(gray(rippling, {230, 96}), gray(still, {230, 96}) + 6);
        QCOMPARE_GE(gray(paint({0, 200, 0}), {160, 60}), gray(still, {160, 60}) + 15);
    }
};

QTEST_MAIN(CardViewTest)
#include "card_view_test.moc"
