// One instance per user: a second launch asks the first to show its window.
#include "app/LocalActivationSocket.h"
#include "app/SingleInstance.h"
#include "platform/dbus/BusNames.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace nudgewatch;

namespace {

constexpr int launches = 30;
constexpr uid_t stranger = 65534;

int connectTo(const QString &socket)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_un address{AF_UNIX, {}};
    qstrncpy(address.sun_path, QFile::encodeName(socket).constData(), sizeof address.sun_path);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// How many of these connections the other end still keeps open.
int keptOpen(const std::vector<int> &fds)
{
    char byte;
    return int(std::count_if(fds.begin(), fds.end(), [&](int fd) {
        return ::recv(fd, &byte, 1, MSG_DONTWAIT | MSG_PEEK) < 0 && errno == EAGAIN;
    }));
}

// One launch of the program's start-up, run by launchesAtOnceElectOne.
int launch(const QString &folder, const QByteArray &startGate)
{
    std::puts("ready");
    std::fflush(stdout);
    ::close(::open(startGate.constData(), O_RDONLY)); // opens when the test says go
    SingleInstance instance(folder, true);
    if (instance.start() == SingleInstance::Role::Secondary) {
        std::puts("secondary");
        return 0;
    }
    int asked = 0;
    QObject::connect(&instance, &SingleInstance::activationRequested, [&] {
        if (++asked == launches - 1)
            QCoreApplication::quit();
    });
    QTimer::singleShot(5000, &QCoreApplication::quit);
    QCoreApplication::exec();
    std::printf("primary %d\n", asked);
    return 0;
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    // A path in a bus address: the address's own syntax and UTF-8 escaped.
    void addressPath()
    {
        QCOMPARE(dbusAddressValue("/tmp/a b,c=d;e/bus"), "/tmp/a%20b%2Cc%3Dd%3Be/bus");
        QCOMPARE(dbusAddressValue(QStringLiteral("/tmp/\u00e4")), "/tmp/%C3%A4");
    }

    // At the first launch, and where a crash left a socket file nobody listens on.
    void localSocketSecondLaunchActivatesTheFirst()
    {
        for (const bool stale : {false, true}) {
            QTemporaryDir dir;
            const QString socket = dir.path() + "/nudgewatch.socket";
            QVERIFY(!stale || QFile(socket).open(QIODevice::WriteOnly));
            SingleInstance first(dir.path());
            QCOMPARE(first.start(), SingleInstance::Role::Primary);
            // Only the user may ask the running instance anything.
            QCOMPARE(QFileInfo(socket).permissions() & (QFile::ReadGroup | QFile::WriteGroup |
                                                        QFile::ReadOther | QFile::WriteOther),
                     QFile::Permissions());
            QSignalSpy activated(&first, &SingleInstance::activationRequested);
            // Any local process may connect; what it sends is not an activation.
            const int foreign = connectTo(socket);
            QVERIFY(foreign >= 0);
            const QByteArray data = QByteArray(500, 'x') + "\nshow\n";
            QCOMPARE(::write(foreign, data.constData(), size_t(data.size())), ssize_t(data.size()));
            QTest::qWait(100);
            ::close(foreign);
            QCOMPARE(activated.size(), 0);
            SingleInstance second(dir.path());
            QCOMPARE(second.start(), SingleInstance::Role::Secondary);
            QTRY_COMPARE(activated.size(), 1);
        }
    }

    // Without XDG_RUNTIME_DIR the lock and socket go in a folder of the user's
    // own in the temporary folder; where anything else took that path first,
    // in one in the user's cache folder, so a second launch is still caught.
    void fallbackFolder_data()
    {
        QTest::addColumn<QString>("taken"); // what is at the folder's path first
        QTest::newRow("nothing") << "";
        QTest::newRow("the user's private folder") << "0700";
        QTest::newRow("a folder others may enter") << "0755";
        QTest::newRow("a link to a private folder") << "link";
        QTest::newRow("a file") << "file";
        QTest::newRow("another user's folder") << "stranger";
    }
    void fallbackFolder()
    {
        QFETCH(QString, taken);
        const bool used = taken.isEmpty() || taken == "0700"; // nothing there, or as it would be
        if (taken == "stranger" && ::geteuid() != 0)
            QSKIP("needs root to make another user's folder");
        QTemporaryDir tmp, home;
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), tmpdir = qgetenv("TMPDIR"),
                         cache = qgetenv("XDG_CACHE_HOME");
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home.path() + "/cache"));
        const QStringList folders = SingleInstance::defaultSocketFolders();
        qputenv("TMPDIR", tmpdir);
        cache.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", cache);
        if (!runtime.isEmpty())
            qputenv("XDG_RUNTIME_DIR", runtime);
        const QString name = QStringLiteral("/nudgewatch-%1").arg(::geteuid());
        QCOMPARE(folders, QStringList({tmp.path() + name, home.path() + "/cache" + name}));
        const QByteArray path = QFile::encodeName(folders.first());
        if (taken == "link")
            QCOMPARE(::symlink(QFile::encodeName(tmp.path()).constData(), path.constData()), 0);
        else if (taken == "file")
            QVERIFY(QFile(folders.first()).open(QIODevice::WriteOnly));
        else if (!taken.isEmpty())
            QCOMPARE(::mkdir(path.constData(), taken == "0755" ? 0755 : 0700), 0);
        if (taken == "stranger")
            QCOMPARE(::chown(path.constData(), stranger, stranger), 0);
        if (!used)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("using .*/cache/nudgewatch-"));
        SingleInstance first(folders, true);
        QCOMPARE(first.start(), SingleInstance::Role::Primary);
        SingleInstance second(folders, true);
        QCOMPARE(second.start(), SingleInstance::Role::Secondary);
        // What someone else put there is left alone; the folder used is private.
        const auto privateFolder = [](const QString &folder) {
            struct stat info;
            return ::lstat(QFile::encodeName(folder).constData(), &info) == 0 &&
                   S_ISDIR(info.st_mode) && (info.st_mode & 0777) == 0700 &&
                   info.st_uid == ::geteuid();
        };
        QCOMPARE(privateFolder(folders.first()), used);
        QCOMPARE(privateFolder(folders.last()), !used);
    }

    // A socket file or a listener of another user's in the folder is never asked.
    void strangersAreNotAsked()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to act as another user");
        for (const bool strangersListener : {false, true}) {
            QTemporaryDir dir;
            const QString socket = dir.path() + "/nudgewatch.socket";
            const QByteArray path = QFile::encodeName(socket);
            SingleInstance first(dir.path());
            QCOMPARE(first.start(), SingleInstance::Role::Primary);
            QSignalSpy activated(&first, &SingleInstance::activationRequested);
            const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
            if (strangersListener) {
                // The credentials a connection reports are those of the call to listen.
                sockaddr_un address{AF_UNIX, {}};
                qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
                QCOMPARE(::unlink(path.constData()), 0);
                QCOMPARE(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address),
                         0);
                QCOMPARE(::seteuid(stranger), 0);
                const int listening = ::listen(listener, 4);
                QCOMPARE(::seteuid(0), 0);
                QCOMPARE(listening, 0);
            } else {
                QCOMPARE(::chown(path.constData(), stranger, stranger), 0);
            }
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("did not answer"));
            SingleInstance second(dir.path());
            QCOMPARE(second.start(), SingleInstance::Role::Secondary);
            QTest::qWait(100);
            char request[16];
            const int asked = ::accept(listener, nullptr, nullptr);
            QVERIFY(asked < 0 || ::recv(asked, request, sizeof request, MSG_DONTWAIT) <= 0);
            QCOMPARE(activated.size(), 0);
            ::close(listener);
            if (asked >= 0)
                ::close(asked);
        }
    }

    // Launches at the same moment: exactly one becomes the instance, the others ask it.
    void launchesAtOnceElectOne()
    {
        QTemporaryDir dir;
        const QByteArray startGate = QFile::encodeName(dir.path() + "/go");
        QCOMPARE(::mkfifo(startGate.constData(), 0600), 0);
        std::vector<std::unique_ptr<QProcess>> processes;
        for (int i = 0; i < launches; ++i) {
            processes.push_back(std::make_unique<QProcess>());
            processes.back()->start(QCoreApplication::applicationFilePath(),
                                    {"--launch", dir.path() + "/instance", startGate});
        }
        for (const auto &process : processes)
            QVERIFY(process->waitForReadyRead(10000));
        const int go = ::open(startGate.constData(), O_WRONLY | O_CLOEXEC);
        QStringList roles;
        for (const auto &process : processes) {
            QVERIFY(process->waitForFinished(20000));
            QCOMPARE(process->exitCode(), 0);
            roles += QString::fromUtf8(process->readAll()).trimmed().split('\n').last();
        }
        ::close(go);
        QCOMPARE(roles.count("secondary"), launches - 1);
        QCOMPARE(roles.count(QStringLiteral("primary %1").arg(launches - 1)), 1);
    }

    // Idle connections are capped, then dropped; a later launch still gets through.
    void idleConnectionsAreDropped()
    {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QCOMPARE(first.start(), SingleInstance::Role::Primary);
        QSignalSpy activated(&first, &SingleInstance::activationRequested);
        std::vector<int> idle;
        for (int i = 0; i < 3 * LocalActivationSocket::maxClients; ++i)
            idle.push_back(connectTo(dir.path() + "/nudgewatch.socket"));
        QVERIFY(std::count(idle.begin(), idle.end(), -1) == 0);
        QTRY_COMPARE(keptOpen(idle), LocalActivationSocket::maxClients);
        QTRY_COMPARE_WITH_TIMEOUT(keptOpen(idle), 0, LocalActivationSocket::idleClientMs + 2000);
        SingleInstance second(dir.path());
        QCOMPARE(second.start(), SingleInstance::Role::Secondary);
        QTRY_COMPARE(activated.size(), 1);
        for (int fd : idle)
            ::close(fd);
    }

    // With no descriptor left the instance waits for one, without using the processor.
    void noDescriptorLeft()
    {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QCOMPARE(first.start(), SingleInstance::Role::Primary);
        QSignalSpy activated(&first, &SingleInstance::activationRequested);
        const int asking = connectTo(dir.path() + "/nudgewatch.socket");
        QCOMPARE(::write(asking, "activate\n", 9), 9);
        rlimit limit;
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &limit), 0);
        const rlimit lowered{std::min<rlim_t>(limit.rlim_cur, 1024), limit.rlim_max};
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
        std::vector<int> filler;
        for (int fd; (fd = ::dup(asking)) >= 0;)
            filler.push_back(fd);
        timespec before, after;
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &before);
        QTest::qWait(500);
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &after);
        for (int fd : filler)
            ::close(fd);
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &limit), 0);
        const double cpuMs =
            (after.tv_sec - before.tv_sec) * 1e3 + (after.tv_nsec - before.tv_nsec) / 1e6;
        QVERIFY2(cpuMs < 200, qPrintable(QStringLiteral("%1 ms of CPU").arg(cpuMs)));
        QTRY_COMPARE(activated.size(), 1);
        ::close(asking);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--launch") == 0)
        return launch(QFile::decodeName(argv[2]), argv[3]);
    SingleInstanceTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "app_single_instance_test.moc"
