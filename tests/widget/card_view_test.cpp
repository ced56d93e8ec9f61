// The reminder card rendered offscreen: how it fades and its buttons.
#include "widget/card_rig.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QTest>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

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
        const int alpha = qAlpha(rig.render().pixel(160, 74)); // the card's centre
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
        int collapses = 0;
        rig.fixture.notifications.addObserver(notifications::collapse, rig.store.get(),
                                              [&](const QVariantMap &) { ++collapses; });
        const WallTime before = rig.store->trackedApps().front().lastUsed;
        QWidget *target = rig.view->childAt(point);
        target = target ? target : rig.view.get();
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(rig.view.get(), point));
        QCOMPARE(rig.fixture.workspace.opener.opened, QStringList(opened, "/apps/Notes.desktop"));
        QCOMPARE(rig.store->trackedApps().front().lastUsed != before, snoozed);
        QCOMPARE(collapses, opened || snoozed ? 1 : 0);
    }

    void followsTheDesktopFont_data()
    {
        QTest::addColumn<double>("scale");
        QTest::newRow("as shipped") << 1.0;
        QTest::newRow("larger") << 1.5;
        QTest::newRow("largest") << 2.0;
    }
    void followsTheDesktopFont()
    {
        QFETCH(double, scale);
        CardRig rig;
        const QImage before = rig.render();
        rig.view->setInterfaceFont({"DejaVu Serif", 10 * scale, 10});
        // Both lines grow, stay on the glass and clear of the buttons, and are drawn anew.
        const CardLayout &layout = rig.view->cardLayout();
        QCOMPARE_GE(layout.nameLine.height(), 12 * scale);
        QCOMPARE_GE(layout.messageLine.height(), 10 * scale);
        QVERIFY(layout.card.contains(layout.nameLine.united(layout.messageLine)));
        QCOMPARE_LE(layout.nameLine.right(), layout.openButton.left());
        QVERIFY(rig.render() != before);
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
};

QTEST_MAIN(CardViewTest)
#include "card_view_test.moc"
