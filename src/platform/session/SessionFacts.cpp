#include "platform/session/SessionFacts.h"

#include <QFile>

#include <sys/stat.h>

namespace nudgewatch {

namespace {

// Whether a compositor's socket is where a Wayland client would connect: a
// leftover WAYLAND_DISPLAY from a compositor that is gone names nothing.
bool waylandSocketPresent(const QProcessEnvironment &environment)
{
    // A compositor that starts its client hands it a connected socket.
    if (!environment.value(QStringLiteral("WAYLAND_SOCKET")).isEmpty())
        return true;
    const QString name = environment.value(QStringLiteral("WAYLAND_DISPLAY"));
    if (name.isEmpty())
        return false;
    const QString runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!name.startsWith(QLatin1Char('/')) && runtime.isEmpty())
        return false;
    const QString path =
        name.startsWith(QLatin1Char('/')) ? name : runtime + QLatin1Char('/') + name;
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISSOCK(status.st_mode);
}

} // namespace

SessionFacts SessionFacts::fromEnvironment(const QProcessEnvironment &environment,
                                           const QString &qtPlatform)
{
    return {environment.value(QStringLiteral("XDG_SESSION_TYPE")),
            environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")),
            waylandSocketPresent(environment), qtPlatform};
}

bool isWaylandSession(const SessionFacts &facts)
{
    // A compositor's socket decides: sway started from a console login keeps
    // XDG_SESSION_TYPE=tty, and a client of a nested compositor inherits the
    // outer session's x11. There, Xwayland's active window is only ever an X11
    // one, so following it would miss every native window in front.
    if (facts.hasWaylandDisplay)
        return true;
    // A Wayland session whose compositor cannot be reached is still not X11:
    // its route says it cannot follow rather than follow the wrong windows.
    return facts.sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
}

bool sessionDesktopIs(const SessionFacts &facts, QLatin1String desktop)
{
    return currentDesktopIs(facts.currentDesktop, desktop);
}

bool currentDesktopIs(QStringView currentDesktop, QLatin1String desktop)
{
    for (const QStringView name : currentDesktop.split(QLatin1Char(':'))) {
        if (name.compare(desktop, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace nudgewatch
