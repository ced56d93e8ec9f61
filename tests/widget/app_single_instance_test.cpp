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

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void addressPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("address");
        QTest::newRow("address syntax") << "/tmp/a b,c=d;e/bus"
                                        << "/tmp/a%20b%2cc%3dd%3be/bus";
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
        QVERIFY(!stale || QFile(socket).open(QIODevice::WriteOnly));
        SingleInstance first(socket);
        QCOMPARE(first.start(), SingleInstance::Role::Primary);
        // Only the user may ask the running instance anything.
        QCOMPARE(QFileInfo(socket).permissions() &
                     (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
                 QFile::Permissions());
        QSignalSpy activated(&first, &SingleInstance::activationRequested);
        // Any local process may connect; what it sends is not an activation.
        const int foreign = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{AF_UNIX, {}};
        qstrncpy(address.sun_path, QFile::encodeName(socket).constData(), sizeof address.sun_path);
        QCOMPARE(::connect(foreign, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        const QByteArray data = QByteArray(500, 'x') + "\nshow\n";
        QCOMPARE(::write(foreign, data.constData(), size_t(data.size())), ssize_t(data.size()));
        QTest::qWait(100);
        ::close(foreign);
        QCOMPARE(activated.size(), 0);
        SingleInstance second(socket);
        QCOMPARE(second.start(), SingleInstance::Role::Secondary);
        QTRY_COMPARE(activated.size(), 1);
    }

    void sessionBusSecondLaunchActivatesTheFirst()
    {
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
            QSKIP("dbus-daemon is not installed");
        QProcess daemon; // a private session bus, ended with the test
        daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        QVERIFY(daemon.waitForReadyRead(5000));
        const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
        {
            SingleInstance first(QDBusConnection::connectToBus(address, "first"));
            QCOMPARE(first.start(), SingleInstance::Role::Primary);
            QSignalSpy activated(&first, &SingleInstance::activationRequested);
            SingleInstance second(QDBusConnection::connectToBus(address, "second"));
            // The call waits for the answer while the first instance serves it.
            QCOMPARE(second.start(), SingleInstance::Role::Secondary);
            QTRY_COMPARE(activated.size(), 1);
        }
        QDBusConnection::disconnectFromBus("second");
        daemon.kill();
        daemon.waitForFinished();
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "app_single_instance_test.moc"
