#pragma once

#include "core/Clock.h"
#include "core/PresenceSource.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <memory>

class QDBusServiceWatcher;

namespace nudgewatch {

class DBusBooleanProperty;

// logind on the system bus: the session's LockedHint (set by the GNOME and KDE
// lockers and by xss-lock) is ScreenLocked, PrepareForSleep is Asleep. The
// session is found by $XDG_SESSION_ID, else by this process, else through the
// "auto" alias; changes are only announced on its real path. Without logind
// the source stays silent; when logind leaves the bus, neither condition holds
// any longer, and a logind that comes back is followed again.
class LogindSource final : public PresenceSource {
    Q_OBJECT
public:
    LogindSource(QDBusConnection systemBus, const QString &sessionId, const Clock &clock,
                 QObject *parent = nullptr);
    ~LogindSource() override;

    QString name() const override { return QStringLiteral("logind"); }

private slots:
    void onPrepareForSleep(const QDBusMessage &message);

private:
    enum class Lookup { BySessionId, ByProcess, ByAutoAlias, AutoAliasId };
    void subscribe();
    void findSession();
    void resolveSession(Lookup lookup, const QString &argument = {});
    void followSession(const QString &path);

    QDBusConnection m_bus;
    const Clock &m_clock;
    QString m_sessionId;
    std::unique_ptr<QDBusServiceWatcher> m_watcher; // none until subscribed
    std::unique_ptr<DBusBooleanProperty> m_lockedHint;
};

} // namespace nudgewatch
