#include "platform/freedesktop/IconLookup.h"

#include "platform/freedesktop/RegularFile.h"
#include "platform/freedesktop/XdgFolders.h"

#include <QDir>
#include <QFile>

namespace nudgewatch {

namespace {

QString readSmallFile(const QString &path)
{
    constexpr qint64 largestSettingsFile = 1 << 20;
    return QString::fromUtf8(readRegularFile(path, largestSettingsFile).value_or(QByteArray()));
}

} // namespace

QString iniValue(const QString &text, const QString &group, const QString &key)
{
    const QString header = QLatin1Char('[') + group + QLatin1Char(']');
    bool inGroup = false;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == header;
            continue;
        }
        if (!inGroup || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && line.left(equals).trimmed() == key) {
            QString value = line.mid(equals + 1).trimmed();
            if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) &&
                value.endsWith(QLatin1Char('"')))
                value = value.mid(1, value.size() - 2);
            return value;
        }
    }
    return {};
}

QString desktopIconTheme(const QStringList &configDirs)
{
    struct Source {
        const char *file;
        const char *group;
        const char *key;
    };
    const Source sources[] = {
        {"gtk-3.0/settings.ini", "Settings", "gtk-icon-theme-name"},
        {"gtk-4.0/settings.ini", "Settings", "gtk-icon-theme-name"},
        {"kdeglobals", "Icons", "Theme"},
    };
    for (const Source &source : sources) {
        for (const QString &dir : configDirs) {
            const QString text = readSmallFile(dir + QLatin1Char('/') + QLatin1String(source.file));
            const QString theme =
                iniValue(text, QLatin1String(source.group), QLatin1String(source.key));
            if (!theme.isEmpty())
                return theme;
        }
    }
    return {};
}

IconLookup IconLookup::fromEnvironment(const QProcessEnvironment &environment)
{
    IconLookup lookup;
    QStringList configDirs = xdgConfigDirs(environment);
    // GTK also reads its system-wide settings from /etc.
    configDirs.append(QStringLiteral("/etc"));
    lookup.themeName = desktopIconTheme(configDirs);
    const QString home = environment.value(QStringLiteral("HOME"));
    if (!home.isEmpty())
        lookup.themeSearchPaths.append(home + QStringLiteral("/.icons"));
    for (const QString &dir : xdgDataDirs(environment)) {
        lookup.themeSearchPaths.append(dir + QStringLiteral("/icons"));
        lookup.pixmapDirs.append(dir + QStringLiteral("/pixmaps"));
    }
    if (!lookup.pixmapDirs.contains(QStringLiteral("/usr/share/pixmaps")))
        lookup.pixmapDirs.append(QStringLiteral("/usr/share/pixmaps"));
    return lookup;
}

} // namespace nudgewatch
