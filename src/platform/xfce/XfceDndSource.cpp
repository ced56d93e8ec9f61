#include "platform/freedesktop/XfceDndSource.h"

#include "platform/freedesktop/PresenceMessages.h"

#include <QDBusPendingCallWatcher>

namespace nudgewatch {

namespace {

const QString xfconf = QStringLiteral("org.xfce.Xfconf");
const QString xfconfPath = QStringLiteral("/org/xfce/Xfconf");
const QStringList xfconfSignals = {QStringLiteral("PropertyChanged"),
                                   QStringLiteral("PropertyRemoved")};

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
    auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending] {
        pending->deleteLater();
        // An error is a setting never made: off, which is where the source starts.
        if (const std::optional<bool> active = booleanArgument(plainArguments(pending->reply())))
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
    if (active == m_active)
        return;
    m_active = active;
    emit conditionChanged(PresenceCondition::DoNotDisturb, active, m_clock.now());
}

} // namespace nudgewatch
