#include "platform/gnome/MutterIdleSource.h"

#include "platform/dbus/DBusMessages.h"
#include "platform/freedesktop/PlatformLog.h"

#include <QDBusServiceWatcher>

namespace nudgewatch {

namespace {

const QString idleMonitor = QStringLiteral("org.gnome.Mutter.IdleMonitor");
const QString corePath = QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core");

std::optional<uint> uintArgument(const QVariantList &arguments)
{
    if (arguments.isEmpty() || arguments[0].metaType() != QMetaType::fromType<uint>())
        return std::nullopt;
    return arguments[0].toUInt();
}

} // namespace

MutterIdleSource::MutterIdleSource(QDBusConnection sessionBus, std::chrono::milliseconds threshold,
                                   const Clock &clock, QObject *parent)
    : PresenceSource(parent), m_bus(std::move(sessionBus)), m_threshold(threshold), m_clock(clock),
      m_watcher(std::make_unique<QDBusServiceWatcher>(idleMonitor, m_bus,
                                                      QDBusServiceWatcher::WatchForOwnerChange))
{
    m_bus.connect(idleMonitor, corePath, idleMonitor, QStringLiteral("WatchFired"), this,
                  SLOT(onWatchFired(QDBusMessage)));
    // The watches were the old owner's; a restarted shell has forgotten them.
    connect(m_watcher.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &oldOwner, const QString &newOwner) {
                if (!oldOwner.isEmpty()) {
                    m_idleWatch = m_activeWatch = 0;
                    ++m_returns;
                    set(false, m_clock.now());
                }
                if (!newOwner.isEmpty())
                    addWatch(Watch::Idle);
            });
    addWatch(Watch::Idle);
}

MutterIdleSource::~MutterIdleSource()
{
    m_bus.disconnect(idleMonitor, corePath, idleMonitor, QStringLiteral("WatchFired"), this,
                     SLOT(onWatchFired(QDBusMessage)));
    for (const uint watch : {m_idleWatch, m_activeWatch}) {
        if (watch != 0)
            m_bus.send(call(QStringLiteral("RemoveWatch")) << watch);
    }
}

QDBusMessage MutterIdleSource::call(const QString &method) const
{
    return QDBusMessage::createMethodCall(idleMonitor, corePath, idleMonitor, method);
}

void MutterIdleSource::addWatch(Watch watch)
{
    QDBusMessage add = watch == Watch::Idle
                           ? call(QStringLiteral("AddIdleWatch")) << quint64(m_threshold.count())
                           : call(QStringLiteral("AddUserActiveWatch"));
    callAsync(this, m_bus, add, [this, watch](const QDBusMessage &reply) {
        const std::optional<uint> id = uintArgument(reply.arguments());
        if (reply.type() != QDBusMessage::ReplyMessage || !id || *id == 0) {
            qCDebug(lcPlatform) << "Mutter did not add an idle watch:" << reply.errorName();
            return;
        }
        (watch == Watch::Idle ? m_idleWatch : m_activeWatch) = *id;
        if (m_unclaimedFiring == id) {
            m_unclaimedFiring.reset();
            onWatchFired(
                QDBusMessage::createSignal(corePath, idleMonitor, QStringLiteral("WatchFired"))
                << *id);
        }
    });
}

void MutterIdleSource::onWatchFired(const QDBusMessage &message)
{
    const std::optional<uint> id = uintArgument(message.arguments());
    if (!id || *id == 0)
        return;
    if (*id == m_idleWatch) {
        becameIdle();
    } else if (*id == m_activeWatch) {
        m_activeWatch = 0;
        ++m_returns;
        set(false, m_clock.now());
    } else {
        m_unclaimedFiring = *id;
    }
}

void MutterIdleSource::becameIdle()
{
    if (reported(PresenceCondition::NoInput) || m_askingIdleTime)
        return;
    m_askingIdleTime = true;
    addWatch(Watch::UserActive);
    const quint64 returns = m_returns;
    // A watch added while the user is already away fires at once, so the time
    // away is asked for rather than taken to be the threshold.
    callAsync(this, m_bus, call(QStringLiteral("GetIdletime")),
              [this, returns](const QDBusMessage &reply) {
                  m_askingIdleTime = false;
                  if (returns != m_returns)
                      return; // back before the answer came
                  const QVariant idleTime = reply.arguments().value(0);
                  std::chrono::milliseconds away = m_threshold;
                  if (idleTime.metaType() == QMetaType::fromType<qulonglong>())
                      away = std::max(away, std::chrono::milliseconds(std::min<qulonglong>(
                                                idleTime.toULongLong(), 1ULL << 40)));
                  set(true, m_clock.now() - away);
              });
}

void MutterIdleSource::set(bool idle, WallTime since)
{
    report(PresenceCondition::NoInput, idle, since);
}

} // namespace nudgewatch
