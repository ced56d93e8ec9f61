#include "platform/xfce/XfceDndSource.h"

#include "platform/dbus/DBusMessages.h"

namespace nudgewatch {

namespace {

const QString xfconf = QStringLiteral("org.xfce.Xfconf");
const QString xfconfPath = QStringLiteral("/org/xfce/Xfconf");
const QStringList xfconfSignals = {QStringLiteral("PropertyChanged"),
                                   QStringLiteral("PropertyRemoved")};

// PropertyChanged(s channel, s property, v value) or PropertyRemoved(s channel,
// s property) for xfce4-notifyd's /do-not-disturb: the new setting (a removed one
// is off); none for other properties and bad types.
std::optional<bool> xfceDoNotDisturb(const QString &member, const QVariantList &arguments)
{
    if (arguments.size() < 2 || arguments[0].metaType() != QMetaType::fromType<QString>() ||
        arguments[1].metaType() != QMetaType::fromType<QString>() ||
        arguments[0].toString() != QLatin1String("xfce4-notifyd") ||
        arguments[1].toString() != QLatin1String("/do-not-disturb"))
        return std::nullopt;
    if (member == QLatin1String("PropertyRemoved"))
        return false;
    if (member == QLatin1String("PropertyChanged") && arguments.size() >= 3 &&
        arguments[2].metaType() == QMetaType::fromType<bool>())
        return arguments[2].toBool();
    return std::nullopt;
}

} // namespace

XfceDndSource::XfceDndSource(QDBusConnection sessionBus, const Clock &clock, QObject *parent)
    : PresenceSource(parent), m_bus(std::move(sessionBus)), m_clock(clock)
{
    for (const QString &member : xfconfSignals)
        m_bus.connect(xfconf, xfconfPath, xfconf, member, this,
                      SLOT(onPropertySignal(QDBusMessage)));
    QDBusMessage get =
        QDBusMessage::createMethodCall(xfconf, xfconfPath, xfconf, QStringLiteral("GetProperty"));
    get << QStringLiteral("xfce4-notifyd") << QStringLiteral("/do-not-disturb");
    callAsync(this, m_bus, get, [this](const QDBusMessage &reply) {
        // An error is a setting never made: off, which is where the source starts.
        if (const std::optional<bool> active = booleanArgument(plainArguments(reply)))
            set(*active);
    });
}

XfceDndSource::~XfceDndSource()
{
    for (const QString &member : xfconfSignals)
        m_bus.disconnect(xfconf, xfconfPath, xfconf, member, this,
                         SLOT(onPropertySignal(QDBusMessage)));
}

void XfceDndSource::onPropertySignal(const QDBusMessage &message)
{
    if (const std::optional<bool> active =
            xfceDoNotDisturb(message.member(), plainArguments(message)))
        set(*active);
}

void XfceDndSource::set(bool active)
{
    report(PresenceCondition::DoNotDisturb, active, m_clock.now());
}

PresenceSourceList xfcePresenceSources(const PresenceSetup &, const Clock &clock)
{
    PresenceSourceList sources;
    const QDBusConnection sessionBus = QDBusConnection::sessionBus();
    if (sessionBus.isConnected())
        sources.push_back(std::make_unique<XfceDndSource>(sessionBus, clock));
    return sources;
}

} // namespace nudgewatch
