#include "platform/presence/LogindSource.h"

#include "platform/dbus/DBusBooleanProperty.h"
#include "platform/dbus/DBusMessages.h"
#include "platform/freedesktop/PlatformLog.h"

#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QTimer>

#include <unistd.h>

namespace nudgewatch {

namespace {

const QString login1 = QStringLiteral("org.freedesktop.login1");
const QString managerPath = QStringLiteral("/org/freedesktop/login1");
const QString managerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString sessionInterface = QStringLiteral("org.freedesktop.login1.Session");
const QString sessionPathPrefix = QStringLiteral("/org/freedesktop/login1/session/");

} // namespace

LogindSource::LogindSource(QDBusConnection systemBus, const QString &sessionId, const Clock &clock,
                           QObject *parent)
    : PresenceSource(parent), m_bus(std::move(systemBus)), m_clock(clock), m_sessionId(sessionId)
{
    // Once the event loop runs: subscribing waits on the bus for logind's
    // owner, which would hold up the first window.
    QTimer::singleShot(0, this, &LogindSource::subscribe);
}

void LogindSource::subscribe()
{
    m_watcher = std::make_unique<QDBusServiceWatcher>(login1, m_bus,
                                                      QDBusServiceWatcher::WatchForOwnerChange);
    m_bus.connect(login1, managerPath, managerInterface, QStringLiteral("PrepareForSleep"), this,
                  SLOT(onPrepareForSleep(QDBusMessage)));
    // logind leaving the bus (or restarting) takes "about to sleep" with it: no
    // resume will be announced by the one that said it.
    connect(m_watcher.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &oldOwner, const QString &newOwner) {
                if (!oldOwner.isEmpty())
                    report(PresenceCondition::Asleep, false, m_clock.now());
                if (!newOwner.isEmpty() && !m_lockedHint)
                    findSession();
            });
    findSession();
}

void LogindSource::findSession()
{
    if (m_sessionId.isEmpty())
        resolveSession(Lookup::ByProcess);
    else
        resolveSession(Lookup::BySessionId, m_sessionId);
}

LogindSource::~LogindSource()
{
    if (!m_watcher)
        return; // never subscribed
    m_bus.disconnect(login1, managerPath, managerInterface, QStringLiteral("PrepareForSleep"), this,
                     SLOT(onPrepareForSleep(QDBusMessage)));
}

void LogindSource::resolveSession(Lookup lookup, const QString &argument)
{
    QDBusMessage call;
    switch (lookup) {
    case Lookup::BySessionId:
    case Lookup::AutoAliasId:
        call = QDBusMessage::createMethodCall(login1, managerPath, managerInterface,
                                              QStringLiteral("GetSession"));
        call << argument;
        break;
    case Lookup::ByProcess:
        call = QDBusMessage::createMethodCall(login1, managerPath, managerInterface,
                                              QStringLiteral("GetSessionByPID"));
        call << uint(getpid());
        break;
    case Lookup::ByAutoAlias:
        // A program started as a user service has no session of its own.
        call = propertyGetCall(login1, sessionPathPrefix + QStringLiteral("auto"), sessionInterface,
                               QStringLiteral("Id"));
        break;
    }
    callAsync(this, m_bus, call, [this, lookup](const QDBusMessage &reply) {
        const QVariant answer = reply.arguments().value(0);
        const bool ok = reply.type() == QDBusMessage::ReplyMessage;
        if (ok && lookup == Lookup::ByAutoAlias) {
            const QVariant id = plainArguments(reply).value(0);
            if (id.metaType() == QMetaType::fromType<QString>() && !id.toString().isEmpty())
                return resolveSession(Lookup::AutoAliasId, id.toString());
        } else if (ok && answer.metaType() == QMetaType::fromType<QDBusObjectPath>()) {
            return followSession(answer.value<QDBusObjectPath>().path());
        }
        qCDebug(lcPlatform) << "logind session lookup" << int(lookup)
                            << "failed:" << reply.errorName();
        if (lookup == Lookup::BySessionId)
            resolveSession(Lookup::ByProcess);
        else if (lookup == Lookup::ByProcess)
            resolveSession(Lookup::ByAutoAlias);
    });
}

void LogindSource::followSession(const QString &path)
{
    // Signals come only from the real path, never from an alias.
    if (!path.startsWith(sessionPathPrefix) || path.endsWith(QLatin1String("/auto")) ||
        path.endsWith(QLatin1String("/self"))) {
        qCDebug(lcPlatform) << "logind answered an unusable session path" << path;
        return;
    }
    qCDebug(lcPlatform) << "logind session" << path;
    m_lockedHint = std::make_unique<DBusBooleanProperty>(m_bus, login1, path, sessionInterface,
                                                         QStringLiteral("LockedHint"));
    connect(m_lockedHint.get(), &DBusBooleanProperty::valueChanged, this, [this](bool locked) {
        report(PresenceCondition::ScreenLocked, locked, m_clock.now());
    });
}

void LogindSource::onPrepareForSleep(const QDBusMessage &message)
{
    if (const std::optional<bool> sleeping = booleanArgument(plainArguments(message)))
        report(PresenceCondition::Asleep, *sleeping, m_clock.now());
}

} // namespace nudgewatch
