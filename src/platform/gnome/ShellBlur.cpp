#include "platform/gnome/ShellBlur.h"

#include "core/DevicePixels.h"

#include "platform/gnome/ShellExtension.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusVariant>

#include <algorithm>
#include <cmath>

namespace nudgewatch::shellBlur {

namespace {

// One rectangle as the extension reads it: (x, y, width, height).
struct BusRectangle {
    int x = 0, y = 0, width = 0, height = 0;
};

QDBusArgument &operator<<(QDBusArgument &argument, const BusRectangle &rectangle)
{
    argument.beginStructure();
    argument << rectangle.x << rectangle.y << rectangle.width << rectangle.height;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, BusRectangle &rectangle)
{
    argument.beginStructure();
    argument >> rectangle.x >> rectangle.y >> rectangle.width >> rectangle.height;
    argument.endStructure();
    return argument;
}

} // namespace

} // namespace nudgewatch::shellBlur

Q_DECLARE_METATYPE(nudgewatch::shellBlur::BusRectangle)

namespace nudgewatch::shellBlur {

QList<QRect> pixelRectangles(const QRegion &region, double scale)
{
    if (!(scale > 0))
        return {};
    const auto pixels = [scale](const QRect &rect) {
        return devicePixels(rect, scale);
    };
    if (region.rectCount() > mostRectangles)
        return {pixels(region.boundingRect())};
    QList<QRect> rectangles;
    rectangles.reserve(region.rectCount());
    for (const QRect &rect : region)
        rectangles.append(pixels(rect));
    return rectangles;
}

double steppedStrength(double strength)
{
    return std::isnan(strength) ? 0 : std::round(std::clamp(strength, 0.0, 1.0) * 100) / 100;
}

QDBusMessage blurCall(WId window, const QList<QRect> &rectangles, double strength)
{
    qDBusRegisterMetaType<BusRectangle>();
    qDBusRegisterMetaType<QList<BusRectangle>>();
    QList<BusRectangle> list;
    list.reserve(rectangles.size());
    for (const QRect &rect : rectangles)
        list.append({rect.x(), rect.y(), rect.width(), rect.height()});
    QDBusMessage call = QDBusMessage::createMethodCall(
        shellExtension::busName, shellExtension::objectPath, shellExtension::interfaceName,
        QStringLiteral("SetBlurRegion"));
    // X window ids are 32 bits wide.
    call << uint(window) << QVariant::fromValue(list) << steppedStrength(strength);
    return call;
}

std::optional<uint> versionFromReply(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1 ||
        reply.arguments().front().metaType() != QMetaType::fromType<QDBusVariant>())
        return std::nullopt;
    const QVariant value = reply.arguments().front().value<QDBusVariant>().variant();
    if (value.metaType().id() != QMetaType::UInt)
        return std::nullopt;
    return value.toUInt();
}

} // namespace nudgewatch::shellBlur
