#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>

#include <memory>

class QDBusServiceWatcher;

namespace nudgewatch {

// One boolean D-Bus property, followed through PropertiesChanged. It is read at
// start (without starting its service), again whenever a change names it
// without a value or its service appears; a service that goes away leaves it
// false. Values of any other type are ignored.
class DBusBooleanProperty final : public QObject {
    Q_OBJECT
public:
    DBusBooleanProperty(QDBusConnection bus, const QString &service, const QString &path,
                        const QString &interface, const QString &property,
                        QObject *parent = nullptr);
    ~DBusBooleanProperty() override;

signals:
    // Every value learnt, repeated ones included.
    void valueChanged(bool value);

private slots:
    void onPropertiesChanged(const QDBusMessage &message);

private:
    void subscribe();
    void read();

    QDBusConnection m_bus;
    QString m_service, m_path, m_interface, m_property;
    std::unique_ptr<QDBusServiceWatcher> m_watcher; // none until subscribed
};

} // namespace nudgewatch
