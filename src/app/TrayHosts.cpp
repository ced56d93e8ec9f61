#include "app/TrayHosts.h"

#include "platform/x11/X11TraySelection.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace nudgewatch {

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");

// Whether the watcher knows a host that shows the items registered with it.
QDBusMessage hostQuestion()
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcherService, watcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << watcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    return get;
}

} // namespace

TrayHosts::TrayHosts(QDBusConnection bus, std::unique_ptr<X11TraySelection> xembed, QObject *parent)
    : QObject(parent), m_bus(std::move(bus)),
      m_watcher(watcherService, m_bus, QDBusServiceWatcher::WatchForRegistration),
      m_xembed(std::move(xembed))
{
    if (m_xembed) {
        m_xembedTray = m_xembed->held();
        connect(m_xembed.get(), &X11TraySelection::taken, this, [this] { found(m_xembedTray); });
    }
    if (!m_bus.isConnected() || !m_bus.interface())
        return;
    connect(&m_watcher, &QDBusServiceWatcher::serviceRegistered, this, &TrayHosts::askWatcher);
    // A watcher may come before the panel's host registers with it.
    m_bus.connect(watcherService, watcherPath, watcherService,
                  QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(askWatcher()));
    if (m_bus.interface()->isServiceRegistered(watcherService))
        m_statusNotifierHost = m_bus.call(hostQuestion())
                                   .arguments()
                                   .value(0)
                                   .value<QDBusVariant>()
                                   .variant()
                                   .toBool();
}

TrayHosts::~TrayHosts() = default;

void TrayHosts::askWatcher()
{
    auto *call = new QDBusPendingCallWatcher(m_bus.asyncCall(hostQuestion()), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, call] {
        call->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *call;
        if (!reply.isError() && reply.value().variant().toBool())
            found(m_statusNotifierHost);
    });
}

void TrayHosts::found(bool &which)
{
    const bool before = present();
    which = true;
    if (!before)
        emit appeared();
}

} // namespace nudgewatch
