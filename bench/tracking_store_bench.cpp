// Cost of the store's hot paths: the 1-second tick, an activation, and start-up
// over many saved entries. Prints figures; asserts nothing.

#include "fakes/Fakes.h"
#include "platform/freedesktop/DesktopEntryBundleInfo.h"
#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/qt/LocalFileSystem.h"
#include "platform/qt/SettingsDefaults.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

double medianOf(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Saves `count` existing entries named App0, App1, ...
void trackApps(StoreFixture &f, int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("App%1").arg(i);
    f.defaults.values.insert(defaultsKeys::trackedAppPaths, f.install(names));
}

void benchTick(int apps)
{
    StoreFixture f;
    trackApps(f, apps);
    f.defaults.values.insert(defaultsKeys::idleThreshold, 1e12); // never raise a reminder
    auto store = f.makeStore();
    store->startMonitoring();
    f.workspace.activate({QStringLiteral("App0"), std::nullopt});
    const int ticks = std::max(20, 200000 / apps);
    std::vector<double> samples;
    for (int round = 0; round < 7; ++round) {
        QElapsedTimer timer;
        timer.start();
        f.scheduler.advance(ticks);
        samples.push_back(double(timer.nsecsElapsed()) / ticks);
    }
    const double perTick = medianOf(samples);
    std::printf("tick, %5d apps: %10.1f ns per tick, %6.1f ns per app\n", apps, perTick,
                perTick / apps);
}

void benchMarkUsed(int apps)
{
    StoreFixture f;
    trackApps(f, apps);
    auto store = f.makeStore();
    store->startMonitoring();
    const RunningApplication a{QStringLiteral("App1"), QStringLiteral("/apps/App1.desktop")};
    const RunningApplication b{QStringLiteral("App2"), QStringLiteral("/apps/App2.desktop")};
    const int rounds = 20000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        f.workspace.activate(i % 2 ? a : b);
    std::printf("activation -> markUsed, %d apps: %8.1f ns each\n", apps,
                double(timer.nsecsElapsed()) / rounds);
}

void benchConstruction(int saved)
{
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < saved; ++i) {
        const QString path = dir.filePath(QStringLiteral("app%1.desktop").arg(i));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(
            QStringLiteral("[Desktop Entry]\nType=Application\nName=App %1\nName[de]=Anw %1\n"
                           "Exec=true\n")
                .arg(i)
                .toUtf8());
        paths << path;
    }
    const QString conf = dir.filePath("Nudgewatch.conf");
    {
        SettingsDefaults defaults(conf);
        defaults.setStringList(defaultsKeys::trackedAppPaths, paths);
    }
    StoreFixture f;
    LocalFileSystem fileSystem;
    const DesktopEntryRegistry entries;
    DesktopEntryBundleInfo bundleInfo(entries);
    QElapsedTimer timer;
    timer.start();
    SettingsDefaults defaults(conf);
    AppTrackerStore store({f.workspace.tracker,
                           f.workspace.opener,
                           f.workspace.icons,
                           bundleInfo,
                           fileSystem,
                           defaults,
                           f.clock,
                           f.scheduler,
                           f.notifications,
                           {}});
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    std::printf("construction over %d saved entries (real file, entries, defaults; fake icons): "
                "%.1f ms (%zu records)\n",
                saved, ms, store.trackedApps().size());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    for (int apps : {5, 100, 10000})
        benchTick(apps);
    for (int apps : {5, 100})
        benchMarkUsed(apps);
    benchConstruction(1000);
    return 0;
}
