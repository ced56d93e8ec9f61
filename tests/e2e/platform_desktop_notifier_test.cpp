// Reminders as desktop notifications, against python3-dbusmock's notification
// server on a private session bus: what is sent, with and without actions, and
// which of the server's signals count.
#include "fakes/PrivateBus.h"
#include "platform/freedesktop/DesktopNotifier.h"

#include <QDBusArgument>
#include <QSignalSpy>
#include <QTest>

using namespace nudgewatch;

namespace {

const QString server = QStringLiteral("org.freedesktop.Notifications");
const QString serverPath = QStringLiteral("/org/freedesktop/Notifications");

// A mock notification server on a private bus, both stopped at the end.
class MockServer {
public:
    explicit MockServer(const QString &capabilities)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
        m_mock.setProcessEnvironment(environment);
        m_mock.start("/usr/bin/python3",
                     {"-m", "dbusmock", "--template", "notification_daemon", "-p",
                      QStringLiteral("{\"capabilities\": \"%1\"}").arg(capabilities)});
        QTRY_VERIFY_WITH_TIMEOUT(
            connection.interface() && connection.interface()->isServiceRegistered(server), 20000);
    }
    ~MockServer()
    {
        m_mock.terminate();
        if (!m_mock.waitForFinished(5000))
            m_mock.kill();
    }

    // A call to one of the mock's own methods.
    QDBusMessage mockCall(const QString &method, const QVariantList &arguments)
    {
        QDBusMessage call =
            QDBusMessage::createMethodCall(server, serverPath, "org.freedesktop.DBus.Mock", method);
        call.setArguments(arguments);
        return connection.call(call);
    }
    // Each Notify the server got, in order: its time, then its arguments.
    QList<std::pair<quint64, QVariantList>> notifyCalls()
    {
        return qdbus_cast<QList<std::pair<quint64, QVariantList>>>(
            mockCall("GetMethodCalls", {QStringLiteral("Notify")}).arguments().value(0));
    }

    fakes::PrivateBus bus;
    QDBusConnection connection = bus.connect("client");

private:
    QProcess m_mock;
};

} // namespace

class DesktopNotifierTest : public QObject {
    Q_OBJECT
private slots:
    void reminderAndItsActions_data()
    {
        QTest::addColumn<QString>("capabilities");
        QTest::addColumn<QString>("invoked"); // the action the user takes, none: closed
        QTest::addColumn<QString>("outcome"); // open, snooze, dismissed or nothing
        const auto row = [](const char *name, const char *capabilities, const char *invoked,
                            const char *outcome) {
            QTest::newRow(name) << QString(capabilities) << QString(invoked) << QString(outcome);
        };
        row("Open", "body actions", "open", "open");
        row("a click on the notification", "body actions", "default", "open");
        row("Snooze", "body actions", "snooze", "snooze");
        row("an action it never sent", "body actions", "rm -rf", "nothing");
        row("closed by the user", "body actions", "", "dismissed");
        row("no actions offered", "body", "", "dismissed");
    }
    void reminderAndItsActions()
    {
        QFETCH(QString, capabilities);
        QFETCH(QString, invoked);
        QFETCH(QString, outcome);
        // The keys sent with the reminder, where the server takes actions.
        const QStringList actions = capabilities.contains("actions")
                                        ? QStringList{"default", "open", "snooze"}
                                        : QStringList{};
        MockServer mock(capabilities);
        QVERIFY(mock.connection.isConnected());
        DesktopNotifier notifier(mock.connection);
        QSignalSpy answered(&notifier, &DesktopNotifier::serverAnswered);
        QVERIFY(answered.wait(5000));
        QCOMPARE(notifier.offersActions(), !actions.isEmpty());

        notifier.show("/apps/Notes.desktop", "Notes is waiting for you!", "Idle for <2 min>");
        QVERIFY(answered.wait(5000));
        const uint id = notifier.shownId();
        QVERIFY(id != 0);
        const auto calls = mock.notifyCalls();
        QCOMPARE(calls.size(), 1);
        const QVariantList &sent = calls.front().second;
        QCOMPARE(sent.size(), 8);
        QCOMPARE(sent[0].toString(), QString("Nudgewatch"));
        QCOMPARE(sent[3].toString(), QString("Notes is waiting for you!"));
        // The body may be read as markup: the text stays text.
        QCOMPARE(sent[4].toString(), QString("Idle for &lt;2 min&gt;"));
        const auto pairs = qdbus_cast<QStringList>(sent[5]);
        QStringList keys;
        for (qsizetype i = 0; i + 1 < pairs.size(); i += 2)
            keys << pairs[i];
        QCOMPARE(keys, actions);

        QSignalSpy opened(&notifier, &DesktopNotifier::openRequested);
        QSignalSpy snoozed(&notifier, &DesktopNotifier::snoozeRequested);
        QSignalSpy dismissed(&notifier, &DesktopNotifier::dismissed);
        // Another program's notification is not this one, and a process other
        // than the server is not the server.
        const auto emitAsServer = [&](const QString &name, const QString &signature,
                                      const QVariantList &arguments) {
            QCOMPARE(mock.mockCall("EmitSignal", {QString(), name, signature, arguments}).type(),
                     QDBusMessage::ReplyMessage);
        };
        emitAsServer("ActionInvoked", "us", {id + 100, QString("open")});
        QDBusConnection stranger = mock.bus.connect("stranger");
        QDBusMessage fake = QDBusMessage::createSignal(serverPath, server, "ActionInvoked");
        QVERIFY(stranger.send(fake << id << QString("open")));
        fakes::PrivateBus::settle(stranger, mock.connection);
        if (invoked.isEmpty())
            emitAsServer("NotificationClosed", "uu", {id, 2u});
        else
            emitAsServer("ActionInvoked", "us", {id, invoked});
        QSignalSpy &expected = outcome == "open"     ? opened
                               : outcome == "snooze" ? snoozed
                                                     : dismissed;
        if (outcome != "nothing") {
            QVERIFY(expected.wait(5000));
            QCOMPARE(expected.front().front().toString(), QString("/apps/Notes.desktop"));
        }
        QTest::qWait(300); // for any signal that should not count
        QCOMPARE(opened.size() + snoozed.size() + dismissed.size(), outcome == "nothing" ? 0 : 1);
    }
};

QTEST_GUILESS_MAIN(DesktopNotifierTest)
#include "platform_desktop_notifier_test.moc"
