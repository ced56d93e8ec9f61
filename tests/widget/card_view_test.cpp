// The reminder card rendered offscreen: how it fades, its buttons and font, and how
// assistive technologies see it: a notification named after the application,
// its message, its buttons, and the whole message where the drawn line is cut.
#include "card/CardAccessibility.h"
#include "widget/card_rig.h"

#include <QAccessible>
#include <QPushButton>
#include <QTest>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

// A bare card as assistive technologies see it, and what they would be told.
struct Card {
    bool aboutCard = true; // every announcement is about the card itself
    QList<QAccessible::Event> events;
    QWidget view;
    QPushButton *open = new QPushButton(&view);
    QPushButton *snooze = new QPushButton(&view);
    CardAccessibility *accessibility =
        new CardAccessibility(view, *open, *snooze, [this](QAccessibleEvent *event) {
            aboutCard = aboutCard && event->object() == &view;
            events.append(event->type());
        });
    QAccessibleInterface *interface() { return QAccessible::queryAccessibleInterface(&view); }
    int count(QAccessible::Event type) const { return int(events.count(type)); }
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
        const int alpha = qAlpha(rig.render().pixel(160, 74)); // the card's centre
        QCOMPARE_GE(alpha, minAlpha);
        QCOMPARE_LE(alpha, maxAlpha);
        // A card that cannot be seen has no buttons to click.
        QCOMPARE(rig.view->childAt(QPoint(258, 74)) != nullptr, maxAlpha > 0);
    }

    // What a click at `point` does, and the name assistive tools read there.
    void clicks_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("opened");
        QTest::addColumn<bool>("snoozed");
        QTest::newRow("open button") << QPoint(258, 74) << "Open Notes" << 1 << false;
        QTest::newRow("snooze button") << QPoint(294, 74) << "Snooze" << 0 << true;
        QTest::newRow("between the buttons") << QPoint(277, 74) << "" << 0 << false;
    }
    void clicks()
    {
        QFETCH(QPoint, point);
        QFETCH(QString, name);
        QFETCH(int, opened);
        QFETCH(bool, snoozed);
        CardRig rig;
        const WallTime before = rig.store->trackedApps().front().lastUsed;
        QWidget *button = rig.view->childAt(point);
        QCOMPARE(button ? QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name)
                        : QString(),
                 name);
        QWidget *target = button ? button : rig.view.get();
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(rig.view.get(), point));
        QCOMPARE(rig.fixture.workspace.opener.opened, QStringList(opened, "/apps/Notes.desktop"));
        QCOMPARE(rig.store->trackedApps().front().lastUsed != before, snoozed);
        QCOMPARE(rig.fixture.panelPosts.count(notifications::collapse), opened || snoozed ? 1 : 0);
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

    // A notification named after the application, announced once when it drops
    // and once per new reminder; not again for the same one (the store refreshes
    // the card every second), and hidden when it goes.
    void notificationWithNameAndMessage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("cut");
        QTest::newRow("whole line") << "Foot"
                                    << "Foot wants your attention." << false;
        QTest::newRow("cut line") << "Mousepad"
                                  << "Mousepad wants your attention." << true;
    }
    void notificationWithNameAndMessage()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(bool, cut);
        Card card;
        card.view.show();
        QAccessibleInterface *iface = card.interface();
        QCOMPARE(iface->role(), QAccessible::Notification);
        QVERIFY(iface->state().invisible); // nothing shows yet
        card.accessibility->showReminder(name, message, cut);
        card.accessibility->showReminder(name, message, cut);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(iface->text(QAccessible::Description), message);
        QVERIFY(!iface->state().invisible);
        QCOMPARE(card.view.toolTip(), cut ? message : QString());
        QCOMPARE(card.open->accessibleName(), "Open " + name);
        QCOMPARE(card.open->toolTip(), "Open " + name);
        QCOMPARE(card.snooze->toolTip(), QStringLiteral("Snooze"));
        QCOMPARE(card.count(QAccessible::ObjectShow), 1);
        card.accessibility->showReminder(name, name + " is waiting for you!", false);
        QCOMPARE(card.count(QAccessible::ObjectShow), 2);
        // Dropped with its panel unmapped, it is announced by Qt as the panel
        // maps, not here as well.
        QWidget panel;
        card.accessibility->showReminder({}, {}, false);
        card.view.setParent(&panel);
        card.accessibility->showReminder(name, message, false);
        card.view.setParent(nullptr);
        QCOMPARE(card.count(QAccessible::ObjectShow), 2);
        for (int hides : {2, 2}) {
            card.accessibility->showReminder({}, {}, false);
            QCOMPARE(card.count(QAccessible::ObjectHide), hides);
        }
        QVERIFY(iface->state().invisible);
        QVERIFY(card.view.toolTip().isEmpty());
        QVERIFY(card.aboutCard);
    }
};

QTEST_MAIN(CardViewTest)
#include "card_view_test.moc"
