#include "app/SingleInstance.h"

#include <QDBusConnection>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace nudgewatch;

// A private session bus for the test, ended with it.
class PrivateBus {
public:
    PrivateBus()
    {
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
            return;
        m_daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (m_daemon.waitForStarted() && m_daemon.waitForReadyRead(5000))
            address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    QDBusConnection connect(const QString &name) const
    {
        return QDBusConnection::connectToBus(address, name);
    }
    QString address;

private:
    QProcess m_daemon;
};

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void addressPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("address");
        QTest::newRow("plain") << "/run/user/1000/bus"
                               << "/run/user/1000/bus";
        QTest::newRow("space") << "/tmp/a b/bus"
                               << "/tmp/a%20b/bus";
        QTest::newRow("address syntax") << "/tmp/a,b=c;d/bus"
                                        << "/tmp/a%2cb%3dc%3bd/bus";
        QTest::newRow("percent and backslash") << "/tmp/50%\\x"
                                               << "/tmp/50%25%5cx";
        QTest::newRow("utf-8") << QStringLiteral("/tmp/\u00e4") << "/tmp/%c3%a4";
    }
    void addressPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, address);
        QCOMPARE(dbusAddressPath(path), address);
    }

    // Without a running bus the address is disabled, so nothing autolaunches one.
    void sessionBusAddress_data()
    {
        QTest::addColumn<QByteArray>("given");
        QTest::addColumn<bool>("userBusExists");
        QTest::addColumn<QString>("expected"); // "%1" stands for the runtime folder
        QTest::newRow("given stays") << QByteArray("unix:path=/x") << true << "unix:path=/x";
        QTest::newRow("user bus") << QByteArray() << true << "unix:path=%1/bus";
        QTest::newRow("no bus at all") << QByteArray() << false << "disabled:";
    }
    void sessionBusAddress()
    {
        QFETCH(QByteArray, given);
        QFETCH(bool, userBusExists);
        QFETCH(QString, expected);
        const QByteArray savedAddress = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        QTemporaryDir runtime;
        if (userBusExists) {
            QFile bus(runtime.path() + "/bus");
            QVERIFY(bus.open(QIODevice::WriteOnly));
        }
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        if (given.isEmpty())
            qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        else
            qputenv("DBUS_SESSION_BUS_ADDRESS", given);
        useRunningSessionBusOnly();
        const QString result = QString::fromUtf8(qgetenv("DBUS_SESSION_BUS_ADDRESS"));
        const bool hadRuntime = !savedRuntime.isEmpty();
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        if (!hadRuntime)
            qunsetenv("XDG_RUNTIME_DIR");
        if (savedAddress.isEmpty())
            qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        else
            qputenv("DBUS_SESSION_BUS_ADDRESS", savedAddress);
        QCOMPARE(result, expected.contains("%1") ? expected.arg(dbusAddressPath(runtime.path()))
                                                 : expected);
    }

    void localSocketSecondLaunchActivatesTheFirst()
    {
        QTemporaryDir dir;
        const QString socket = dir.path() + "/nudgewatch.socket";
        SingleInstance first(socket);
        QCOMPARE(first.start(), SingleInstance::Role::Primary);
        // Only the user may ask the running instance anything.
        QCOMPARE(QFileInfo(socket).permissions() &
                     (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
                 QFile::Permissions());
        QSignalSpy activated(&first, &SingleInstance::activationRequested);
        SingleInstance second(socket);
        QCOMPARE(second.start(), SingleInstance::Role::Secondary);
        QTRY_COMPARE(activated.size(), 1);
        SingleInstance third(socket);
        QCOMPARE(third.start(), SingleInstance::Role::Secondary);
        QTRY_COMPARE(activated.size(), 2);
    }

    void staleSocketFromACrashIsTakenOver()
    {
        QTemporaryDir dir;
        const QString socket = dir.path() + "/nudgewatch.socket";
        QFile stale(socket);
        QVERIFY(stale.open(QIODevice::WriteOnly)); // left behind, nobody listening
        stale.close();
        SingleInstance first(socket);
        QCOMPARE(first.start(), SingleInstance::Role::Primary);
        QSignalSpy activated(&first, &SingleInstance::activationRequested);
        SingleInstance second(socket);
        QCOMPARE(second.start(), SingleInstance::Role::Secondary);
        QTRY_COMPARE(activated.size(), 1);
    }

    void foreignDataIsIgnored()
    {
        QTemporaryDir dir;
        const QString socket = dir.path() + "/nudgewatch.socket";
        SingleInstance first(socket);
        QCOMPARE(first.start(), SingleInstance::Role::Primary);
        QSignalSpy activated(&first, &SingleInstance::activationRequested);
        QLocalSocket client;
        client.connectToServer(socket);
        QVERIFY(client.waitForConnected());
        client.write(QByteArray(500, 'x') + "\n");
        client.write("show\n");
        QVERIFY(client.waitForBytesWritten());
        QTest::qWait(100);
        QCOMPARE(activated.size(), 0);
    }

    void sessionBusSecondLaunchActivatesTheFirst()
    {
        PrivateBus bus;
        if (bus.address.isEmpty())
            QSKIP("dbus-daemon is not installed");
        SingleInstance first(bus.connect("first"));
        QCOMPARE(first.start(), SingleInstance::Role::Primary);
        QSignalSpy activated(&first, &SingleInstance::activationRequested);
        {
            SingleInstance second(bus.connect("second"));
            // The call waits for the answer while the first instance serves it.
            QCOMPARE(second.start(), SingleInstance::Role::Secondary);
        }
        QTRY_COMPARE(activated.size(), 1);
        QDBusConnection::disconnectFromBus("second");
    }

    void nameIsFreedWhenTheFirstEnds()
    {
        PrivateBus bus;
        if (bus.address.isEmpty())
            QSKIP("dbus-daemon is not installed");
        {
            SingleInstance first(bus.connect("a"));
            QCOMPARE(first.start(), SingleInstance::Role::Primary);
        }
        SingleInstance next(bus.connect("b"));
        QCOMPARE(next.start(), SingleInstance::Role::Primary);
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "app_single_instance_test.moc"
