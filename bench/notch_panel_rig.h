#pragma once

// A store over fakes with one tracked application, ready to raise a reminder in
// virtual time, for the panel's benchmarks.

#include "fakes/Fakes.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace nudgewatch::bench {

struct ReminderRig {
    fakes::StoreFixture fixture;
    std::unique_ptr<AppTrackerStore> store;

    ReminderRig()
    {
        fixture.defaults.values.insert(defaultsKeys::trackedAppPaths,
                                       fixture.install({QStringLiteral("Notes")}));
        fixture.workspace.tracker.frontmost = RunningApplication{QStringLiteral("Terminal"), {}};
        store = fixture.makeStore();
        store->startMonitoring();
    }
    // Raises the reminder (virtual time; the store's own timers never run in real time).
    void raise()
    {
        fixture.scheduler.advance(AppTrackerStore::defaultIdleThreshold);
        QCoreApplication::processEvents();
    }
};

struct Percentiles {
    double p50 = 0, p99 = 0, max = 0;
};

inline Percentiles percentiles(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    auto at = [&](double q) {
        return values[std::size_t(q * double(values.size() - 1))];
    };
    return {at(0.50), at(0.99), values.back()};
}

} // namespace nudgewatch::bench
