// Latency from the GNOME Shell extension's FocusChanged signal to the tracker's
// activated(), through a real session bus and the real GnomeShellTracker over
// 2,000 desktop entries. The extension's side is played by a second connection
// of this process that owns the extension's bus name, so no shell is needed:
// each sample runs from just before the signal is sent, so it holds the bus
// daemon's round trip, the checks of the arguments and the entry look-up.

#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/gnome/GnomeShellTracker.h"
#include "platform_bench_util.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

using namespace nudgewatch;
using namespace nudgewatch::bench;

namespace {

// What the extension answers when asked for the focus at start.
class FakeExtension : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.nudgewatch.Focus")
public slots:
    QString GetFocus(QString &name, int &pid)
    {
        name = QStringLiteral("Bench A");
        pid = 1;
        return QStringLiteral("bench-a.desktop");
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QDBusConnection extensionBus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("extension"));
    if (!QDBusConnection::sessionBus().isConnected() || !extensionBus.isConnected()) {
        std::fprintf(stderr, "needs a session bus: scripts/xvfb-session --dbus -- %s\n", argv[0]);
        return 2;
    }
    QTemporaryDir dir;
    const QString applications = dir.path() + QStringLiteral("/applications");
    if (!writeEntries(applications, 2000))
        return 1;
    for (const char *name : {"bench-a", "bench-b"}) {
        QFile file(applications + QStringLiteral("/%1.desktop").arg(QLatin1String(name)));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(QByteArray("[Desktop Entry]\nType=Application\nName=") + name +
                       "\nExec=/bin/true\n") <= 0)
            return 1;
    }
    FakeExtension extension;
    extensionBus.registerObject(shellExtension::objectPath, &extension,
                                QDBusConnection::ExportAllSlots);
    if (!extensionBus.registerService(shellExtension::busName))
        return 1;

    useEntriesBelow(dir.path());
    const DesktopEntryRegistry entries;
    GnomeShellTracker tracker(entries, QDBusConnection::sessionBus(),
                              ShellExtensionFiles(dir.path() + QStringLiteral("/extensions")));
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&tracker, &FrontmostApplicationTracker::activated, &loop, &QEventLoop::quit);
    timeout.start(5000);
    while (!tracker.frontmostApplication() && timeout.isActive())
        loop.exec();

    Stopwatch::time_point sent;
    std::vector<double> samples;
    int missed = 0;
    QObject::connect(&tracker, &FrontmostApplicationTracker::activated, &loop, [&] {
        samples.push_back(microsecondsSince(sent) / 1000);
        loop.quit();
    });
    constexpr int switches = 200;
    for (int i = 0; i < switches; ++i) {
        const bool b = i % 2 == 0;
        QDBusMessage signal =
            QDBusMessage::createSignal(shellExtension::objectPath, shellExtension::interfaceName,
                                       QStringLiteral("FocusChanged"));
        signal << (b ? QStringLiteral("bench-b.desktop") : QStringLiteral("bench-a.desktop"))
               << QStringLiteral("Bench") << 1;
        const size_t before = samples.size();
        timeout.start(2000);
        sent = Stopwatch::now();
        extensionBus.send(signal);
        loop.exec();
        missed += samples.size() == before;
    }
    if (samples.empty())
        return 1;
    std::printf("FocusChanged -> activated over a session bus, 2,000 entries: median %.2f ms "
                "(range %.2f-%.2f, p90 %.2f), n=%zu, missed %d\n",
                percentile(samples, 0.5), percentile(samples, 0), percentile(samples, 1),
                percentile(samples, 0.9), samples.size(), missed);
    return missed == 0 ? 0 : 1;
}

#include "platform_gnome_latency_bench.moc"
