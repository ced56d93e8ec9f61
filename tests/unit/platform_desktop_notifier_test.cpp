// Reminders as desktop notifications, against a small notification server on a
// private bus: what is sent, one notification at a time, and which of the
// server's signals count.
#include "fakes/PrivateBus.h"
#include "platform/freedesktop/DesktopNotifier.h"

#include <QTest>

#include <memory>
#include <vector>

using namespace nudgewatch;
using fakes::PrivateBus;

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");

// Keeps the notifications on show; tells when one closes, as servers do.
class FakeServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    explicit FakeServer(QDBusConnection bus) : m_bus(std::move(bus)) {}
    QStringList capabilities;
    QMap<uint, QStringList> shown; // id: summary, body, then the action keys
    uint lastReplaced = 0;
    void emitSignal(QDBusConnection from, const QString &name, const QVariantList &arguments)
    {
        QDBusMessage signal = QDBusMessage::createSignal(objectPath, service, name);
        signal.setArguments(arguments);
        QVERIFY(from.send(signal));
    }

public slots:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString &, uint replaces, const QString &, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &, int)
    {
        const uint id = shown.contains(replaces) ? replaces : ++m_next;
        lastReplaced = replaces;
        QStringList record{summary, body};
        for (qsizetype i = 0; i < actions.size(); i += 2)
            record.append(actions[i]);
        shown.insert(id, record);
        return id;
    }
    void CloseNotification(uint id)
    {
        if (shown.remove(id))
            emitSignal(m_bus, QStringLiteral("NotificationClosed"), {id, 3u});
    }

private:
    QDBusConnection m_bus;
    uint m_next = 0;
};

} // namespace

class DesktopNotifierTest : public QObject {
    Q_OBJECT
private slots:
    void reminderAndItsActions_data()
    {
        QTest::addColumn<QString>("capabilities");
        QTest::addColumn<bool>("quick");    // shown again before the server answered
        QTest::addColumn<QString>("event"); // what the server (or a stranger) sends
        QTest::addColumn<QString>("outcome");
        const QString all = "body actions";
        // clang-format off
        QTest::newRow("Open") << all << false << "open" << "open";
        QTest::newRow("a click on the notification") << all << false << "default" << "open";
        QTest::newRow("Snooze") << all << true << "snooze" << "snooze";
        QTest::newRow("an action it never sent") << all << false << "rm -rf" << "";
        QTest::newRow("closed by the user") << all << true << "closed" << "dismissed";
        QTest::newRow("another program's notification") << all << false << "other" << "";
        QTest::newRow("a stranger sends the server's signal") << all << false << "stranger" << "";
        QTest::newRow("no actions offered") << "body" << false << "closed" << "dismissed";
        // clang-format on
    }
    void reminderAndItsActions()
    {
        QFETCH(QString, capabilities);
        QFETCH(bool, quick);
        QFETCH(QString, event);
        QFETCH(QString, outcome);
        PrivateBus bus;
        if (!bus.isRunning())
            QSKIP("dbus-daemon is not installed");
        QDBusConnection own = bus.connect("program");
        QDBusConnection serverBus = bus.connect("server");
        // The server starts after the program: a reminder meanwhile is trouble.
        DesktopNotifier notifier(own);
        QStringList told;
        connect(&notifier, &ReminderNotifier::trouble, this,
                [&told](const QString &why) { told.append(why.isEmpty() ? "over" : "trouble"); });
        notifier.show("/apps/Gone.desktop", "Gone is waiting for you!", {});
        PrivateBus::pump(own, serverBus);
        FakeServer server(serverBus);
        server.capabilities = capabilities.split(' ');
        QVERIFY(serverBus.registerObject(objectPath, &server, QDBusConnection::ExportAllSlots));
        QVERIFY(serverBus.registerService(service));
        PrivateBus::pump(own, serverBus);
        notifier.show("/apps/Mail.desktop", "Mail is waiting for you!", {});
        if (!quick)
            PrivateBus::pump(own, serverBus);
        notifier.show("/apps/Notes.desktop", "Notes is waiting for you!", "Idle for <2 min>");
        PrivateBus::pump(own, serverBus);

        // One notification, replaced or the older one closed; its text stays text.
        const QStringList keys = capabilities.contains("actions")
                                     ? QStringList{"default", "open", "snooze"}
                                     : QStringList{};
        const QList<QStringList> one{
            QStringList{"Notes is waiting for you!", "Idle for &lt;2 min&gt;"} + keys};
        QCOMPARE(server.shown.values(), one);
        QCOMPARE(server.lastReplaced, quick ? 0u : server.shown.firstKey());
        const uint id = notifier.shownId();
        QCOMPARE(id, server.shown.firstKey());

        QStringList heard;
        for (const auto &[signal, word] : {std::pair(&ReminderNotifier::openRequested, "open "),
                                           std::pair(&ReminderNotifier::snoozeRequested, "snooze "),
                                           std::pair(&ReminderNotifier::dismissed, "dismissed ")})
            connect(&notifier, signal, this,
                    [&heard, word](const QString &path) { heard.append(word + path); });
        QDBusConnection stranger = bus.connect("stranger");
        if (event == "closed")
            server.CloseNotification(id);
        else if (event == "other")
            server.emitSignal(serverBus, "ActionInvoked", {id + 100, QString("open")});
        else
            server.emitSignal(event == "stranger" ? stranger : serverBus, "ActionInvoked",
                              {id, event == "stranger" ? QString("open") : event});
        PrivateBus::pump(stranger, own);
        PrivateBus::pump(own, serverBus);
        // Gone once acted on, else withdrawn; its closing is not the user's.
        notifier.withdraw();
        PrivateBus::pump(own, serverBus);
        QVERIFY(server.shown.isEmpty());
        QCOMPARE(told, (QStringList{"trouble", "over"}));
        QCOMPARE(heard,
                 outcome.isEmpty() ? QStringList{} : QStringList{outcome + " /apps/Notes.desktop"});
    }

    // A server restarted (its name gone, then owned again) gets the reminder again.
    void restartedServerShowsItAgain()
    {
        PrivateBus bus;
        if (!bus.isRunning())
            QSKIP("dbus-daemon is not installed");
        QDBusConnection own = bus.connect("program");
        DesktopNotifier notifier(own);
        std::vector<std::unique_ptr<FakeServer>> servers;
        for (const QString name : {"first", "second"}) {
            QDBusConnection serverBus = bus.connect(name);
            servers.push_back(std::make_unique<FakeServer>(serverBus));
            QVERIFY(serverBus.registerObject(objectPath, servers.back().get(),
                                             QDBusConnection::ExportAllSlots));
            QVERIFY(serverBus.registerService(service));
            PrivateBus::pump(own, serverBus);
            if (name == "first")
                notifier.show("/apps/Mail.desktop", "Mail is waiting for you!", {});
            PrivateBus::pump(own, serverBus);
            QCOMPARE(servers.back()->shown.size(), 1);
            QVERIFY(serverBus.unregisterService(service));
        }
    }
};

QTEST_GUILESS_MAIN(DesktopNotifierTest)
#include "platform_desktop_notifier_test.moc"
