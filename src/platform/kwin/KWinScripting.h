#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QString>

#include <utility>

namespace nudgewatch {

inline const QString kwinService = QStringLiteral("org.kde.KWin");

// KWin's script loader (org.kde.KWin /Scripting) as the program uses it: a
// script is written to a private file, loaded under a plugin name and run;
// unloading stops it. Speaks to KWin 5.27 and 6, which export a loaded script
// at different object paths.
class KWinScripting final : public QObject {
    Q_OBJECT
public:
    explicit KWinScripting(QDBusConnection bus, QObject *parent = nullptr);

    // Loads and runs `source` as `pluginName` (a script of that name loaded
    // before is unloaded first) and waits for it to start. Empty on success,
    // else what went wrong. The file is gone again once KWin has read it.
    QString load(const QString &pluginName, const QByteArray &source);
    // Runs `source` once, without waiting: loaded, run, then unloaded, after
    // the ones asked for before it (a few are kept; more are dropped).
    void runOnce(const QString &pluginName, const QByteArray &source);
    void unload(const QString &pluginName);
    bool isLoaded(const QString &pluginName);

private:
    QString writeScript(const QString &pluginName, const QByteArray &source) const;
    void startNextOneShot();
    // Tries the object paths in turn until one runs the script, then unloads it.
    void runThenUnload(QStringList objectPaths, const QString &path, const QString &pluginName);
    QDBusMessage scriptingCall(const QString &method, const QVariantList &arguments) const;

    static constexpr qsizetype maxQueuedOneShots = 8;
    QDBusConnection m_bus;
    QList<std::pair<QString, QByteArray>> m_oneShots; // plugin name, source
    bool m_oneShotRunning = false;
};

} // namespace nudgewatch
