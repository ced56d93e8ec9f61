#include "core/BundlePath.h"

#include <QDir>

namespace nudgewatch {

namespace {

bool isAlreadyStandard(const QString &path)
{
    if (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        return false;
    return !path.contains(QLatin1String("//")) && !path.contains(QLatin1String("/./")) &&
           !path.contains(QLatin1String("/../")) && !path.endsWith(QLatin1String("/.")) &&
           !path.endsWith(QLatin1String("/.."));
}

} // namespace

QString standardizedPath(const QString &path)
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return {};
    // Most paths are standard already; cleaning them would allocate on every match.
    return isAlreadyStandard(path) ? path : QDir::cleanPath(path);
}

} // namespace nudgewatch
