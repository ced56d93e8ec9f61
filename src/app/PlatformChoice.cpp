#include "app/PlatformChoice.h"

namespace nudgewatch {

PlatformChoice choosePlatform(bool waylandSession, bool hasX11Display, const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("-platform") || argument == QLatin1String("--platform") ||
            argument.startsWith(QLatin1String("-platform=")) ||
            argument.startsWith(QLatin1String("--platform=")))
            return {};
    }
    return {waylandSession && hasX11Display};
}

} // namespace nudgewatch
