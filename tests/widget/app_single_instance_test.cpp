// One instance per user: a second launch asks the first to show its window.
#include "app/SingleInstance.h"

#include <QDBusConnection>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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
        QTest::newRow("space") << "/tmp/a b/bus"
                               << "/tmp/a%20b/bus";
        QTest::newRow("address syntax") << "/tmp/a,b=c;d/bus"
                                        << "/tmp/a%2cb%3dc%3bd/bus";
        QTest::newRow("utf-8") << QStringLiteral("/tmp/\u00e4") << "/tmp/%c3%a4";
    }
    void addressPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, address);
        QCOMPARE(dbusAddressPath(path), address);
    }

    void localSocketSecondLaunchActivatesTheFirst_data()
    {
        QTest::addColumn<bool>("stale"); // a socket file left by a crash, nobody listening
        QTest::newRow("first launch") << false;
        QTest::newRow("stale socket taken over") << true;
    }
    void localSocketSecondLaunchActivatesTheFirst()
    {
        QFETCH(bool, stale);
        QTemporaryDir dir;
        const QString socket = dir.path() + "/nudgewatch.socket";
        QFile leftOver(socket);
        QVERIFY(!stale || leftOver.open(QIODevice::WriteOnly));
        leftOver.close();
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
    }

    void foreignDataIsIgnored()
    {
        QTemporaryDir dir;
        const QString socket = dir.path() + "/nudgewatch.socket";
        SingleInstance first(socket);
        QCOMPARE(first.start(), SingleInstance::Role::Primary);
        QSignalSpy activated(&first, &SingleInstance::activationRequested);
        // A plain Unix socket client, as any local process could be.
        const int client = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(socket).constData(), sizeof address.sun_path);
        QCOMPARE(::connect(client, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        const QByteArray data = QByteArray(500, 'x') + "\nshow\n";
        QCOMPARE(::write(client, data.constData(), size_t(data.size())), ssize_t(data.size()));
        QTest::qWait(100);
        ::close(client);
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
};

QTEST_MAIN(SingleInstanceTest)
#include "app_single_instance_test.moc"
