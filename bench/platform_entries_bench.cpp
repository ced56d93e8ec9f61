// Desktop layer costs without an X server: reading 2,000 installed entries,
// listing the installed applications, and resolving windows against them.

#include "platform/freedesktop/DesktopApplicationCatalog.h"
#include "platform/freedesktop/InstalledEntries.h"
#include "platform/freedesktop/WindowResolver.h"
#include "platform_bench_util.h"

#include <QCoreApplication>
#include <QTemporaryDir>

using namespace nudgewatch;
using namespace nudgewatch::bench;

namespace {

constexpr int entryCount = 2000;

void resolverCost(const DesktopEntryIndex &index)
{
    struct Case {
        const char *label;
        WindowFacts facts;
    };
    const Case cases[] = {
        {"GTK application ID", {"x", "y", "org.example.App1999", {}, {}}},
        {"StartupWMClass", {"appclass1996", "AppClass1996", {}, {}, {}}},
        {"WM_CLASS as lower-cased ID", {"x", "Org.Example.App1001", {}, {}, {}}},
        {"executable (shared, so no match)", {"x", "y", {}, {}, "/bin/true"}},
        {"no match at all", {"unknown", "Unknown Class", {}, {}, "/usr/bin/unknown"}},
    };
    std::printf("window resolution against %d entries (per window):\n", entryCount);
    for (const Case &c : cases) {
        constexpr int rounds = 20000;
        std::vector<double> samples;
        samples.reserve(rounds);
        volatile int sink = 0;
        for (int i = 0; i < rounds; ++i) {
            const auto start = Stopwatch::now();
            const RunningApplication app = resolveRunningApplication(index, {c.facts});
            samples.push_back(microsecondsSince(start));
            sink = sink + int(app.bundlePath.has_value());
        }
        std::printf("  %-36s median %7.3f us   p99 %7.3f us\n", c.label, percentile(samples, 0.5),
                    percentile(samples, 0.99));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir dir;
    const QString applications = dir.path() + QStringLiteral("/data/applications");
    if (!writeEntries(applications, entryCount))
        return 1;
    useEntriesBelow(dir.path() + QStringLiteral("/data"));
    QCoreApplication app(argc, argv);

    auto start = Stopwatch::now();
    const std::vector<DesktopEntry> entries = installedDesktopEntries();
    const double scanUs = microsecondsSince(start);
    start = Stopwatch::now();
    const DesktopEntryIndex index(entries);
    const double indexUs = microsecondsSince(start);
    std::printf(
        "start-up: reading %zu entries for window resolution: %.1f ms (+ %.2f ms indexing)\n",
        entries.size(), scanUs / 1000, indexUs / 1000);

    start = Stopwatch::now();
    const DesktopEntryRegistry own;
    DesktopApplicationCatalog catalog(own);
    const double catalogUs = microsecondsSince(start);
    start = Stopwatch::now();
    const qsizetype listed = catalog.installedApplications().size();
    const double firstUs = microsecondsSince(start);
    start = Stopwatch::now();
    catalog.installedApplications();
    const double cachedUs = microsecondsSince(start);
    std::printf("installed applications: at start-up %.1f ms; first listing (%lld "
                "shown) %.1f ms; the kept list again %.3f ms\n",
                catalogUs / 1000, qlonglong(listed), firstUs / 1000, cachedUs / 1000);
    // The program's catalog lists the registry window resolution has read already.
    const DesktopEntryRegistry registry;
    registry.index();
    start = Stopwatch::now();
    DesktopApplicationCatalog(registry).installedApplications();
    std::printf("first listing from the entries window resolution read: %.1f ms\n",
                microsecondsSince(start) / 1000);

    resolverCost(index);
    return 0;
}
