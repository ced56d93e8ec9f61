// Reminders as desktop notifications, against python3-dbusmock's notification
// server on a private session bus: what is sent, with and without actions, and
// which of the server's signals count.
#include "platform/freedesktop/DesktopNotifier.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace nudgewatch;

namespace {

const QString server = QStringLiteral("org.freedesktop.Notifications");
const QString serverPath = QStringLiteral("/org/freedesktop/Notifications");

// A private bus and a mock notification server on it, both stopped at the end.
class MockServer {
public:
    explicit MockServer(const QString &capabilities)
    {
        m_bus.start(QStringLiteral("dbus-daemon"),
                    {"--session", "--nofork", "--nopidfile", "--print-address=1"});
        if (!m_bus.waitForReadyRead(10000))
            return;
        address = QString::fromUtf8(m_bus.readLine().trimmed());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", address);
        m_mock.setProcessEnvironment(environment);
        m_mock.start("/usr/bin/python3",
                     {"-m", "dbusmock", "--template", "notification_daemon", "-p",
                      QStringLiteral("{\"capabilities\": \"%1\"}").arg(capabilities)});
        connection = QDBusConnection::connectToBus(address, capabilities + "-client");
        QTRY_VERIFY_WITH_TIMEOUT(
            connection.interface() && connection.interface()->isServiceRegistered(server), 20000);
    }
    ~MockServer()
    {
        QDBusConnection::disconnectFromBus(connection.name());
        for (QProcess *process : {&m_mock, &m_bus}) {
            process->terminate();
            if (!process->waitForFinished(5000))
                process->kill();
        }
    }

    // The arguments of each Notify the server got, in order.
    QList<QVariantList> notifyCalls() const
    {
        QDBusMessage ask = QDBusMessage::createMethodCall(
            server, serverPath, "org.freedesktop.DBus.Mock", "GetMethodCalls");
        ask << QStringLiteral("Notify");
        const QDBusMessage reply = connection.call(ask);
        QList<QVariantList> calls;
        if (reply.arguments().isEmpty())
            return calls;
        const QDBusArgument list = reply.arguments().front().value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            quint64 time = 0;
            QVariantList arguments;
            list.beginStructure();
            list >> time >> arguments;
            list.endStructure();
            calls.append(arguments);
        }
        list.endArray();
        return calls;
    }
    // Sends one of the server's signals as the server.
    void emitSignal(const QString &name, const QString &signature, const QVariantList &arguments)
    {
        QDBusMessage send = QDBusMessage::createMethodCall(
            server, serverPath, "org.freedesktop.DBus.Mock", "EmitSignal");
        send << QString() << name << signature << QVariant::fromValue(arguments);
        QCOMPARE(connection.call(send).type(), QDBusMessage::ReplyMessage);
    }

    QString address;
    QDBusConnection connection{QStringLiteral("none")};

private:
    QProcess m_bus;
    QProcess m_mock;
};

QStringList strings(const QVariant &value)
{
    if (value.canConvert<QDBusArgument>()) {
        QStringList list;
        value.value<QDBusArgument>() >> list;
        return list;
    }
    return value.toStringList();
}

} // namespace

class DesktopNotifierTest : public QObject {
    Q_OBJECT
private slots:
    void reminderAndItsActions_data()
    {
        QTest::addColumn<QString>("capabilities");
        QTest::addColumn<QStringList>("actions"); // keys sent with the reminder
        QTest::addColumn<QString>("invoked");     // the action the user takes
        QTest::addColumn<QString>("outcome");     // open, snooze, dismissed or nothing
        const QStringList all{"default", "open", "snooze"};
        QTest::newRow("Open") << "body actions" << all << "open"
                              << "open";
        QTest::newRow("a click on the notification") << "body actions" << all << "default"
                                                     << "open";
        QTest::newRow("Snooze") << "body actions" << all << "snooze"
                                << "snooze";
        QTest::newRow("an action it never sent") << "body actions" << all << "rm -rf"
                                                 << "nothing";
        QTest::newRow("closed by the user") << "body actions" << all << ""
                                            << "dismissed";
        QTest::newRow("no actions offered") << "body" << QStringList{} << ""
                                            << "dismissed";
    }
    void reminderAndItsActions()
    {
        QFETCH(QString, capabilities);
        QFETCH(QStringList, actions);
        QFETCH(QString, invoked);
        QFETCH(QString, outcome);
        MockServer mock(capabilities);
        QVERIFY(mock.connection.isConnected());
        DesktopNotifier notifier(mock.connection);
        QSignalSpy answered(&notifier, &DesktopNotifier::serverAnswered);
        QVERIFY(answered.wait(5000));
        QCOMPARE(notifier.offersActions(), !actions.isEmpty());

        notifier.show("/apps/Notes.desktop", "Notes is waiting for you!", "Idle for <2 min>");
        QVERIFY(answered.wait(5000));
        QVERIFY(notifier.shownId() != 0);
        const QList<QVariantList> calls = mock.notifyCalls();
        QCOMPARE(calls.size(), 1);
        const QVariantList &sent = calls.front();
        QCOMPARE(sent.size(), 8);
        QCOMPARE(sent[0].toString(), QString("Nudgewatch"));
        QCOMPARE(sent[3].toString(), QString("Notes is waiting for you!"));
        // The body may be read as markup: the text stays text.
        QCOMPARE(sent[4].toString(), QString("Idle for &lt;2 min&gt;"));
        const QStringList pairs = strings(sent[5]);
        QStringList keys;
        for (qsizetype i = 0; i + 1 < pairs.size(); i += 2)
            keys << pairs[i];
        QCOMPARE(keys, actions);

        QSignalSpy opened(&notifier, &DesktopNotifier::openRequested);
        QSignalSpy snoozed(&notifier, &DesktopNotifier::snoozeRequested);
        QSignalSpy dismissed(&notifier, &DesktopNotifier::dismissed);
        // Another program's notification is not this one.
        mock.emitSignal("ActionInvoked", "us", {notifier.shownId() + 100, QString("open")});
        const uint id = notifier.shownId();
        if (invoked.isEmpty())
            mock.emitSignal("NotificationClosed", "uu", {id, 2u});
        else
            mock.emitSignal("ActionInvoked", "us", {id, invoked});
        QSignalSpy &expected = outcome == "open"     ? opened
                               : outcome == "snooze" ? snoozed
                                                     : dismissed;
        if (outcome != "nothing") {
            QVERIFY(expected.wait(5000));
            QCOMPARE(expected.front().front().toString(), QString("/apps/Notes.desktop"));
        } else {
            QTest::qWait(300);
        }
        QCOMPARE(opened.size() + snoozed.size() + dismissed.size(), outcome == "nothing" ? 0 : 1);
    }

    // A signal from a process other than the server is not the server's.
    void strangersAreNotHeard()
    {
        MockServer mock("body actions");
        DesktopNotifier notifier(mock.connection);
        QSignalSpy answered(&notifier, &DesktopNotifier::serverAnswered);
        QVERIFY(answered.wait(5000));
        notifier.show("/apps/Notes.desktop", "Notes is waiting for you!", {});
        QVERIFY(answered.wait(5000));
        QSignalSpy opened(&notifier, &DesktopNotifier::openRequested);
        QDBusConnection stranger = QDBusConnection::connectToBus(mock.address, "stranger");
        QDBusMessage fake = QDBusMessage::createSignal(serverPath, server, "ActionInvoked");
        fake << notifier.shownId() << QString("open");
        QVERIFY(stranger.send(fake));
        QTest::qWait(500);
        QCOMPARE(opened.size(), 0);
        QDBusConnection::disconnectFromBus("stranger");
    }
};

QTEST_GUILESS_MAIN(DesktopNotifierTest)
#include "platform_desktop_notifier_test.moc"
