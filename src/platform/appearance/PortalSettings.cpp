#include "platform/appearance/PortalSettings.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace nudgewatch {

namespace {
const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
const QString interface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString gnomeInterface = QStringLiteral("org.gnome.desktop.interface");

// Read() of older portals wraps the value in a second variant.
QVariant unwrap(QVariant value)
{
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}
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
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, group, key](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                const QDBusPendingReply<QDBusVariant> reply = *w;
                // An unknown key or no portal: the other sources decide.
                if (!reply.isError() && take(group, key, reply.value().variant()))
                    emit changed();
            });
}

void PortalSettings::settingChanged(const QDBusMessage &message)
{
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() == 3 &&
        take(arguments[0].toString(), arguments[1].toString(), arguments[2]))
        emit changed();
}

bool PortalSettings::take(const QString &group, const QString &key, QVariant value)
{
    value = unwrap(std::move(value));
    if (group == appearance && key == QStringLiteral("color-scheme")) {
        bool ok = false;
        const uint scheme = value.toUInt(&ok);
        if (!ok || m_colorScheme == scheme)
            return false;
        m_colorScheme = scheme;
        return true;
    }
    if (group == gnomeInterface && key == QStringLiteral("font-name")) {
        const QString name = value.toString();
        if (value.metaType() != QMetaType::fromType<QString>() || name == m_fontName)
            return false;
        m_fontName = name;
        return true;
    }
    if (group == gnomeInterface && key == QStringLiteral("text-scaling-factor")) {
        bool ok = false;
        const double factor = value.toDouble(&ok);
        // GNOME offers 0.5 to 3; anything else is not a scaling the user chose.
        if (!ok || factor < 0.5 || factor > 3 || factor == m_textScaling)
            return false;
        m_textScaling = factor;
        return true;
    }
    return false;
}

} // namespace nudgewatch
