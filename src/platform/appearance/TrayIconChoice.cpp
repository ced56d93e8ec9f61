#include "platform/appearance/TrayIconChoice.h"

#include <QDBusConnectionInterface>
#include <QIconEngine>
#include <QStandardPaths>

namespace nudgewatch {

namespace {

// An icon that goes by its theme name to the panel, which draws it from its
// own theme; the program draws the file. Asking Qt's theme loader for it
// instead could hang on a damaged icon cache (see DesktopIcons).
class NamedIconEngine final : public QIconEngine {
public:
    NamedIconEngine(QString name, QIcon drawn) : m_name(std::move(name)), m_drawn(std::move(drawn))
    {
    }
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        m_drawn.paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return m_drawn.pixmap(size, mode, state);
    }
    QIconEngine *clone() const override { return new NamedIconEngine(m_name, m_drawn); }
    QString iconName() override { return m_name; }
    bool isNull() override { return m_drawn.isNull(); }

private:
    QString m_name;
    QIcon m_drawn;
};

} // namespace

QIcon trayIcon(const QDBusConnection &sessionBus, const QIcon &icon)
{
    if (!sessionBus.isConnected() || !sessionBus.interface())
        return icon;
    const bool hosted = sessionBus.interface()->isServiceRegistered(
        QStringLiteral("org.kde.StatusNotifierWatcher"));
    const QString symbolic = QStandardPaths::locate(
        QStandardPaths::GenericDataLocation,
        QStringLiteral("icons/hicolor/symbolic/apps/nudgewatch-symbolic.svg"));
    // Not installed (run from the build tree): the full-colour one is still right.
    if (!hosted || symbolic.isEmpty())
        return icon;
    return QIcon(new NamedIconEngine(QStringLiteral("nudgewatch-symbolic"), QIcon(symbolic)));
}

} // namespace nudgewatch
