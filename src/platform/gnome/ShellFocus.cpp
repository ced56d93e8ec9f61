#include "platform/gnome/ShellFocus.h"

#include "platform/freedesktop/WindowResolver.h"
#include "platform/session/ActivationFilter.h"

#include <QDBusArgument>

namespace nudgewatch {

namespace {

// Desktop ids are file names: a few hundred characters at most.
constexpr qsizetype longestAppId = 512;

bool isShellWindowId(QStringView id)
{
    const QStringView number = id.mid(7);
    return id.startsWith(u"window:") && !number.isEmpty() && number.size() <= 10 &&
           std::all_of(number.begin(), number.end(), [](QChar c) { return c.isDigit(); });
}

bool isDesktopId(QStringView id)
{
    return id.size() > 8 && id.endsWith(u".desktop") && !id.startsWith(u'.') &&
           std::none_of(id.begin(), id.end(),
                        [](QChar c) { return c == u'/' || c.category() == QChar::Other_Control; });
}

} // namespace

std::optional<ShellFocus> focusFromArguments(const QList<QVariant> &arguments)
{
    if (arguments.size() != 3 || arguments[0].metaType().id() != QMetaType::QString ||
        arguments[1].metaType().id() != QMetaType::QString ||
        arguments[2].metaType().id() != QMetaType::Int)
        return std::nullopt;
    const QString appId = arguments[0].toString();
    if (appId.size() > longestAppId ||
        !(appId.isEmpty() || isDesktopId(appId) || isShellWindowId(appId)))
        return std::nullopt;
    return ShellFocus{appId, cutToShown(arguments[1].toString()), arguments[2].toInt()};
}

std::optional<RunningApplication> applicationForFocus(const DesktopEntryIndex &index,
                                                      const ShellFocus &focus, qint64 ownPid,
                                                      const WindowFacts &process)
{
    if (focus.appId.isEmpty())
        return std::nullopt;
    if (focus.pid > 0 && focus.pid == ownPid)
        return ownApplication();
    WindowFacts facts = process;
    if (!focus.appId.startsWith(u"window:"))
        facts.gtkApplicationId = focus.appId;
    RunningApplication application = resolveRunningApplication(index, {facts});
    if (!application.localizedName && !focus.name.isEmpty())
        application.localizedName = focus.name;
    return application;
}

FrontWindowPlace placeFromMonitorReply(const QDBusMessage &reply)
{
    // Checked before reading: QtDBus asserts on a structure of other types.
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("s(iiii)"))
        return {};
    int x = 0, y = 0, width = 0, height = 0;
    const QDBusArgument geometry = reply.arguments()[1].value<QDBusArgument>();
    geometry.beginStructure();
    geometry >> x >> y >> width >> height;
    geometry.endStructure();
    FrontWindowPlace place{std::nullopt, reply.arguments()[0].toString().left(256)};
    if (width > 0 && height > 0)
        place.frame = QRect(x, y, width, height);
    return place;
}

} // namespace nudgewatch
