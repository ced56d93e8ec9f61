#include "platform/freedesktop/DesktopNotifier.h"

#include "platform/dbus/DBusMessages.h"
#include "platform/freedesktop/PlatformLog.h"

#include <QDBusMessage>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QStringList>
#include <QVariantMap>

#include <cstdio>

namespace nudgewatch {

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");
// Shown until the user acts or the server lets it go: a reminder is not news.
constexpr int neverExpires = 0;
// A notification server answers at once; a hung one is not waited for.
constexpr int callTimeoutMs = 5000;

QDBusMessage call(const QString &method)
{
    return QDBusMessage::createMethodCall(service, path, interface, method);
}

} // namespace

DesktopNotifier::DesktopNotifier(QDBusConnection bus, QObject *parent)
    : ReminderNotifier(parent), m_bus(std::move(bus))
{
    // By service name: Qt then delivers only signals sent by the name's owner.
    m_bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(QDBusMessage)));
    m_bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onClosed(QDBusMessage)));
    // A server started after the program, or one in another's place, is asked
    // what it offers; a notification of the one gone went with it.
    auto *owner =
        new QDBusServiceWatcher(service, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(owner, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &, const QString &newOwner) {
                m_showAgain = m_showAgain || m_id != 0;
                m_id = 0;
                if (!newOwner.isEmpty())
                    askCapabilities();
            });
    askCapabilities();
}

DesktopNotifier::~DesktopNotifier()
{
    withdraw();
}

void DesktopNotifier::askCapabilities()
{
    callAsync(
        this, m_bus, call(QStringLiteral("GetCapabilities")),
        [this](const QDBusMessage &message) {
            const QDBusPendingReply<QStringList> reply = message;
            if (reply.isError())
                qCDebug(lcPlatform)
                    << "notification server capabilities:" << reply.error().message();
            else
                m_actions = reply.value().contains(QStringLiteral("actions"));
            if (std::exchange(m_showAgain, false) && !m_appPath.isEmpty())
                show(m_appPath, m_title, m_body);
        },
        callTimeoutMs);
}

void DesktopNotifier::show(const QString &appPath, const QString &title, const QString &body)
{
    QStringList actions;
    if (m_actions)
        // "default": a click on the notification itself opens the application too.
        actions = {QStringLiteral("default"),   tr("Open"),  QLatin1String(openAction), tr("Open"),
                   QLatin1String(snoozeAction), tr("Snooze")};
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), QStringLiteral("nudgewatch")},
        {QStringLiteral("category"), QStringLiteral("presence")},
        // Normal urgency: the server may hold it back while Do Not Disturb is on.
        {QStringLiteral("urgency"), QVariant::fromValue(uchar(1))},
    };
    QDBusMessage notify = call(QStringLiteral("Notify"));
    notify << QStringLiteral("Nudgewatch") << m_id << QStringLiteral("nudgewatch") << title
           << body.toHtmlEscaped() << actions << hints << neverExpires;
    m_appPath = appPath;
    m_title = title;
    m_body = body;
    const quint64 generation = ++m_generation;
    callAsync(
        this, m_bus, notify,
        [this, generation](const QDBusMessage &message) {
            const QDBusPendingReply<uint> reply = message;
            if (reply.isError()) {
                std::fprintf(stderr,
                             "nudgewatch: the reminder could not be shown as a "
                             "notification: %s\n",
                             qPrintable(reply.error().message()));
                m_troubled = true;
                emit trouble(reply.error().message());
                return;
            }
            if (std::exchange(m_troubled, false))
                emit trouble({});
            if (generation != m_generation) {
                // Withdrawn or replaced meanwhile.
                if (m_id != reply.value())
                    m_bus.call(call(QStringLiteral("CloseNotification")) << reply.value(),
                               QDBus::NoBlock);
                return;
            }
            m_id = reply.value();
        },
        callTimeoutMs);
}

void DesktopNotifier::withdraw()
{
    ++m_generation;
    m_showAgain = false;
    if (m_id == 0)
        return;
    m_bus.call(call(QStringLiteral("CloseNotification")) << m_id, QDBus::NoBlock);
    m_id = 0;
    m_appPath.clear();
}

void DesktopNotifier::onActionInvoked(const QDBusMessage &message)
{
    const QList<QVariant> arguments = message.arguments();
    if (m_id == 0 || arguments.size() != 2 || arguments[0].metaType().id() != QMetaType::UInt ||
        arguments[0].toUInt() != m_id || arguments[1].metaType().id() != QMetaType::QString)
        return;
    const QString appPath = m_appPath;
    const QString action = arguments[1].toString();
    if (action == QLatin1String(openAction) || action == QLatin1String("default")) {
        withdraw();
        emit openRequested(appPath);
    } else if (action == QLatin1String(snoozeAction)) {
        withdraw();
        emit snoozeRequested(appPath);
    }
}

void DesktopNotifier::onClosed(const QDBusMessage &message)
{
    const QList<QVariant> arguments = message.arguments();
    if (m_id == 0 || arguments.size() != 2 || arguments[0].metaType().id() != QMetaType::UInt ||
        arguments[0].toUInt() != m_id)
        return;
    const QString appPath = m_appPath;
    m_id = 0;
    m_appPath.clear();
    emit dismissed(appPath);
}

} // namespace nudgewatch
