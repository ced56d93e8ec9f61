#include "platform/appearance/DesktopSettingsFiles.h"

#include "platform/freedesktop/KeyFile.h"
#include "platform/freedesktop/RegularFile.h"

#include <QStandardPaths>

namespace nudgewatch {

QStringList gtkConfigDirs()
{
    QStringList dirs = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    dirs.append(QStringLiteral("/etc"));
    return dirs;
}

QStringList gtkSettingsFiles(const QStringList &configDirs)
{
    QStringList files;
    for (const QString &dir : configDirs)
        for (const char *version : {"/gtk-3.0/settings.ini", "/gtk-4.0/settings.ini"})
            files.append(dir + QLatin1String(version));
    return files;
}

GtkSettings readGtkSettings(const QStringList &files)
{
    GtkSettings settings;
    for (const QString &path : files) {
        const KeyFilePtr file = loadKeyFile(path);
        if (!file)
            continue;
        const auto take = [&file](const char *key, QString &value) {
            if (!value.isEmpty())
                return;
            value =
                takeGString(g_key_file_get_string(file.get(), "Settings", key, nullptr)).trimmed();
            if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) &&
                value.endsWith(QLatin1Char('"')))
                value = value.mid(1, value.size() - 2);
        };
        take("gtk-theme-name", settings.themeName);
        take("gtk-font-name", settings.fontName);
        take("gtk-icon-theme-name", settings.iconThemeName);
        if (!settings.prefersDark) {
            g_autoptr(GError) error = nullptr;
            const bool dark = g_key_file_get_boolean(file.get(), "Settings",
                                                     "gtk-application-prefer-dark-theme", &error);
            if (error == nullptr)
                settings.prefersDark = dark;
        }
    }
    return settings;
}

QString kdeConfigValue(const QString &path, const char *group, const char *key)
{
    const std::optional<QByteArray> bytes = readRegularFile(path, maximumEntrySize);
    if (!bytes)
        return {};
    const QByteArray header = '[' + QByteArray(group) + ']';
    bool inGroup = false;
    for (const QByteArray &raw : bytes->split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('['))
            inGroup = line == header;
        else if (const qsizetype equals = line.indexOf('=');
                 inGroup && equals > 0 && line.first(equals).trimmed() == key)
            return QString::fromUtf8(line.sliced(equals + 1).trimmed());
    }
    return {};
}

QString desktopIconTheme(const QStringList &configDirs)
{
    if (QString theme = readGtkSettings(gtkSettingsFiles(configDirs)).iconThemeName;
        !theme.isEmpty())
        return theme;
    for (const QString &dir : configDirs) {
        const QString theme = kdeConfigValue(dir + QStringLiteral("/kdeglobals"), "Icons", "Theme");
        if (!theme.isEmpty())
            return theme;
    }
    return {};
}

} // namespace nudgewatch
