#pragma once

// Shared by the desktop-layer benchmarks: timing and generated desktop entries.

#include <QDir>
#include <QFile>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace nudgewatch::bench {

using Stopwatch = std::chrono::steady_clock;

inline double microsecondsSince(Stopwatch::time_point start)
{
    return std::chrono::duration<double, std::micro>(Stopwatch::now() - start).count();
}

inline double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto index = std::size_t(fraction * double(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

// GIO reads the applications folders below `dataHome` alone: its own
// applications folder, and a system folder that does not exist. Called before
// anything asks GIO, which reads the locations once per process.
inline void useEntriesBelow(const QString &dataHome)
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(dataHome + QStringLiteral("/none")));
}

// `count` application entries below `folder`; every fourth names a StartupWMClass,
// every tenth sits in a vendor folder. All run /bin/true so GIO accepts them.
inline bool writeEntries(const QString &folder, int count)
{
    for (int i = 0; i < count; ++i) {
        const QString vendor = i % 10 == 0 ? QStringLiteral("vendor%1/").arg(i % 7) : QString();
        const QString path =
            QStringLiteral("%1/%2org.example.App%3.desktop").arg(folder, vendor).arg(i);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=Application %1\n"
                                      "Name[de]=Anwendung %1\nComment=Generated entry %1\n"
                                      "Exec=/bin/true --app %1 %U\nIcon=org.example.App%1\n")
                           .arg(i);
        if (i % 4 == 0)
            text += QStringLiteral("StartupWMClass=AppClass%1\n").arg(i);
        file.write(text.toUtf8());
    }
    return true;
}

} // namespace nudgewatch::bench
