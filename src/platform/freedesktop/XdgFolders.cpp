#include "platform/freedesktop/XdgFolders.h"

#include <QDir>

namespace nudgewatch {

namespace {

// The user's folder from `variable`, or HOME + `fallback`.
QString userDir(const QProcessEnvironment &environment, const QString &variable,
                const QString &fallback)
{
    const QString dir = environment.value(variable);
    if (dir.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(dir);
    return QDir::cleanPath(environment.value(QStringLiteral("HOME")) + fallback);
}

// The user's folder, then the absolute system folders of a colon-separated list;
// relative entries are invalid by the XDG rules and ignored.
QStringList withSystemDirs(QString user, const QString &list)
{
    QStringList dirs{std::move(user)};
    for (const QString &dir : list.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (dir.startsWith(QLatin1Char('/')) && !dirs.contains(QDir::cleanPath(dir)))
            dirs.append(QDir::cleanPath(dir));
    }
    return dirs;
}

} // namespace

QString xdgConfigHome(const QProcessEnvironment &environment)
{
    return userDir(environment, QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("/.config"));
}

QStringList xdgConfigDirs(const QProcessEnvironment &environment)
{
    const QString system =
        environment.value(QStringLiteral("XDG_CONFIG_DIRS"), QStringLiteral("/etc/xdg"));
    return withSystemDirs(xdgConfigHome(environment),
                          system.isEmpty() ? QStringLiteral("/etc/xdg") : system);
}

QStringList xdgDataDirs(const QProcessEnvironment &environment)
{
    const QString system = environment.value(QStringLiteral("XDG_DATA_DIRS"));
    return withSystemDirs(
        userDir(environment, QStringLiteral("XDG_DATA_HOME"), QStringLiteral("/.local/share")),
        system.isEmpty() ? QStringLiteral("/usr/local/share:/usr/share") : system);
}

QStringList applicationDirs(const QStringList &dataDirs)
{
    QStringList dirs;
    for (const QString &dir : dataDirs)
        dirs.append(dir + QStringLiteral("/applications"));
    return dirs;
}

} // namespace nudgewatch
