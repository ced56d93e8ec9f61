#include "platform/appearance/PortalSettings.h"

#include "platform/dbus/DBusMessages.h"

#include <QDBusMessage>

namespace nudgewatch {

namespace {
const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
const QString interface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString gnomeInterface = QStringLiteral("org.gnome.desktop.interface");
} // namespace

PortalSettings::PortalSettings(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(service, path, interface, QStringLiteral("SettingChanged"), this,
                  SLOT(settingChanged(QDBusMessage)));
    read(appearance, QStringLiteral("color-scheme"));
    read(gnomeInterface, QStringLiteral("font-name"));
    read(gnomeInterface, QStringLiteral("text-scaling-factor"));
}

void PortalSettings::read(const QString &group, const QString &key)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Read"));
    call << group << key;
    callAsync(this, m_bus, call, [this, group, key](const QDBusMessage &reply) {
        // An unknown key or no portal: the other sources decide.
        if (reply.type() != QDBusMessage::ReplyMessage)
            return;
        // Read() of older portals wraps the value in a second variant.
        const QVariantList arguments = plainArguments(reply);
        if (arguments.size() == 1 && take(group, key, arguments[0]))
            emit changed();
    });
}

void PortalSettings::settingChanged(const QDBusMessage &message)
{
    const QVariantList arguments = plainArguments(message);
    if (arguments.size() == 3 && arguments[0].metaType() == QMetaType::fromType<QString>() &&
        arguments[1].metaType() == QMetaType::fromType<QString>() &&
        take(arguments[0].toString(), arguments[1].toString(), arguments[2]))
        emit changed();
}

bool PortalSettings::take(const QString &group, const QString &key, const QVariant &value)
{
    // Each setting only in its own type: the portal is a peer like any other.
    if (group == appearance && key == QStringLiteral("color-scheme")) {
        const uint scheme = value.toUInt();
        if (value.metaType() != QMetaType::fromType<uint>() || m_colorScheme == scheme)
            return false;
        m_colorScheme = scheme;
        return true;
    }
    if (group == gnomeInterface && key == QStringLiteral("font-name")) {
        const QString name = value.toString();
        // No font's name comes near this length.
        if (value.metaType() != QMetaType::fromType<QString>() || name.size() > 256 ||
            name == m_fontName)
            return false;
        m_fontName = name;
        return true;
    }
    if (group == gnomeInterface && key == QStringLiteral("text-scaling-factor")) {
        const double factor = value.toDouble();
        // GNOME offers 0.5 to 3; anything else is not a scaling the user chose.
        if (value.metaType() != QMetaType::fromType<double>() || factor < 0.5 || factor > 3 ||
            factor == m_textScaling)
            return false;
        m_textScaling = factor;
        return true;
    }
    return false;
}

} // namespace nudgewatch
