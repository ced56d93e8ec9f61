#include "platform/freedesktop/IconLookup.h"

#include "platform/freedesktop/KeyFile.h"

#include <QDir>
#include <QStandardPaths>

namespace nudgewatch {

namespace {

// The value of `key` in `[group]` of the key file at `path`; GTK writes a
// string in quotes, which are not part of the name. Empty when absent.
QString keyFileValue(const QString &path, const char *group, const char *key)
{
    const KeyFilePtr file = loadKeyFile(path);
    if (!file)
        return {};
    QString value = takeGString(g_key_file_get_string(file.get(), group, key, nullptr)).trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2);
    return value;
}

} // namespace

QString desktopIconTheme(const QStringList &configDirs)
{
    struct Source {
        const char *file;
        const char *group;
        const char *key;
        QString (*read)(const QString &path, const char *group, const char *key);
    };
    const Source sources[] = {
        {"gtk-3.0/settings.ini", "Settings", "gtk-icon-theme-name", keyFileValue},
        {"gtk-4.0/settings.ini", "Settings", "gtk-icon-theme-name", keyFileValue},
        {"kdeglobals", "Icons", "Theme", kdeConfigValue},
    };
    for (const Source &source : sources) {
        for (const QString &dir : configDirs) {
            const QString theme = source.read(dir + QLatin1Char('/') + QLatin1String(source.file),
                                              source.group, source.key);
            if (!theme.isEmpty())
                return theme;
        }
    }
    return {};
}

IconLookup IconLookup::forDesktop()
{
    IconLookup lookup;
    QStringList configDirs =
        QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    // GTK also reads its system-wide settings from /etc.
    configDirs.append(QStringLiteral("/etc"));
    lookup.themeName = desktopIconTheme(configDirs);
    lookup.themeSearchPaths.append(QDir::homePath() + QStringLiteral("/.icons"));
    for (const QString &dir :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        lookup.themeSearchPaths.append(dir + QStringLiteral("/icons"));
        lookup.pixmapDirs.append(dir + QStringLiteral("/pixmaps"));
    }
    if (!lookup.pixmapDirs.contains(QStringLiteral("/usr/share/pixmaps")))
        lookup.pixmapDirs.append(QStringLiteral("/usr/share/pixmaps"));
    return lookup;
}

} // namespace nudgewatch
