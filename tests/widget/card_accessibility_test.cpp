// The reminder card as assistive technologies see it: a notification named
// after the application, its message, its buttons, and the whole message
// where the drawn line is cut.
#include "card/CardAccessibility.h"

#include <QAccessible>
#include <QPushButton>
#include <QTest>
#include <QWidget>

using namespace nudgewatch;

namespace {

// Records what assistive technologies would be told.
QList<QAccessible::Event> events;

struct Card {
    // Every announcement is about the card itself.
    bool aboutCard = true;
    QWidget view;
    QPushButton *open = new QPushButton(&view);
    QPushButton *snooze = new QPushButton(&view);
    CardAccessibility *accessibility =
        new CardAccessibility(view, *open, *snooze, [this](QAccessibleEvent *event) {
            aboutCard = aboutCard && event->object() == &view;
            events.append(event->type());
        });
    QAccessibleInterface *interface() { return QAccessible::queryAccessibleInterface(&view); }
};

int count(QAccessible::Event type)
{
    return int(events.count(type));
}

} // namespace

class CardAccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void init() { events.clear(); }

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
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(iface->text(QAccessible::Description), message);
        QVERIFY(!iface->state().invisible);
        QCOMPARE(card.view.toolTip(), cut ? message : QString());
        QCOMPARE(card.open->accessibleName(), "Open " + name);
        QCOMPARE(card.open->toolTip(), "Open " + name);
        QCOMPARE(card.snooze->accessibleName(), QStringLiteral("Snooze"));
        QCOMPARE(card.snooze->toolTip(), QStringLiteral("Snooze"));
        QCOMPARE(count(QAccessible::ObjectShow), 1);
        QVERIFY(card.aboutCard);
    }

    // Announced once when it drops and once per new reminder; not again for
    // the same one (the store refreshes the card every second), and hidden when it goes.
    void announcedWhenItDrops()
    {
        Card card;
        card.view.show();
        card.accessibility->showReminder("Foot", "Foot says: come back!", false);
        card.accessibility->showReminder("Foot", "Foot says: come back!", false);
        QCOMPARE(count(QAccessible::ObjectShow), 1);
        card.accessibility->showReminder("Foot", "Foot is waiting for you!", false);
        QCOMPARE(count(QAccessible::ObjectShow), 2);
        card.accessibility->showReminder({}, {}, false);
        QCOMPARE(count(QAccessible::ObjectHide), 1);
        QVERIFY(card.interface()->state().invisible);
        QVERIFY(card.view.toolTip().isEmpty());
        card.accessibility->showReminder({}, {}, false);
        QCOMPARE(count(QAccessible::ObjectHide), 1);
    }
};

QTEST_MAIN(CardAccessibilityTest)
#include "card_accessibility_test.moc"
