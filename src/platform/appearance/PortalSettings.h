#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QVariant>

#include <optional>

namespace nudgewatch {

// The desktop portal's Settings: the appearance preference and, where the
// portal passes GNOME's interface settings on, the font and text scaling.
// Asked once, then followed through SettingChanged; silent without a portal.
class PortalSettings final : public QObject {
    Q_OBJECT
public:
    explicit PortalSettings(const QDBusConnection &bus, QObject *parent = nullptr);

    // 1 dark, 2 light, 0 no preference; none until the portal answered.
    std::optional<uint> colorScheme() const { return m_colorScheme; }
    const QString &fontName() const { return m_fontName; }
    double textScalingFactor() const { return m_textScaling; }

signals:
    void changed();

private slots:
    void settingChanged(const QDBusMessage &message);

private:
    void read(const QString &group, const QString &key);
    // Takes one setting; true when it is one of ours and changed.
    bool take(const QString &group, const QString &key, const QVariant &value);

    QDBusConnection m_bus;
    std::optional<uint> m_colorScheme;
    QString m_fontName;
    double m_textScaling = 1.0;
};

} // namespace nudgewatch
