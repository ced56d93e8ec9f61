#include "platform/kwin/KWinScripting.h"

#include "platform/dbus/DBusMessages.h"

#include <QDBusPendingReply>
#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nudgewatch {

namespace {

const QString scriptInterface = QStringLiteral("org.kde.kwin.Script");
// KWin answers quickly or not at all; the program must not hang on it.
constexpr int callTimeoutMs = 3000;

// KWin 6 exports a loaded script as /Scripting/Script<id>, 5.27 as /<id>.
QStringList scriptObjectPaths(int id)
{
    return {QStringLiteral("/Scripting/Script%1").arg(id), QStringLiteral("/%1").arg(id)};
}

QString errorText(const QDBusMessage &reply)
{
    return reply.errorName() + QStringLiteral(": ") + reply.errorMessage();
}

} // namespace

KWinScripting::KWinScripting(QDBusConnection bus, QObject *parent)
    : QObject(parent), m_bus(std::move(bus))
{
}

QDBusMessage KWinScripting::scriptingCall(const QString &method,
                                          const QVariantList &arguments) const
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(kwinService, QStringLiteral("/Scripting"),
                                       QStringLiteral("org.kde.kwin.Scripting"), method);
    call.setArguments(arguments);
    return call;
}

// Only this user may read it: the file names the program's bus address.
QString KWinScripting::writeScript(const QString &pluginName, const QByteArray &source) const
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return {};
    const QString path = folder + QLatin1Char('/') + pluginName + QStringLiteral(".js");
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return {};
    bool written = ::fchmod(fd, 0600) == 0;
    for (qsizetype done = 0; written && done < source.size();) {
        const ssize_t n = ::write(fd, source.constData() + done, size_t(source.size() - done));
        written = n > 0;
        done += n > 0 ? n : 0;
    }
    ::close(fd);
    if (!written) {
        QFile::remove(path);
        return {};
    }
    return path;
}

QString KWinScripting::load(const QString &pluginName, const QByteArray &source)
{
    if (isLoaded(pluginName))
        unload(pluginName); // left behind by an instance that did not end cleanly
    const QString path = writeScript(pluginName, source);
    if (path.isEmpty())
        return QStringLiteral("cannot write the script to the runtime folder");
    const QDBusMessage loaded =
        m_bus.call(scriptingCall(QStringLiteral("loadScript"), {path, pluginName}), QDBus::Block,
                   callTimeoutMs);
    const QVariantList answer = loaded.arguments();
    if (loaded.type() != QDBusMessage::ReplyMessage || answer.size() != 1 ||
        answer.at(0).metaType().id() != QMetaType::Int || answer.at(0).toInt() < 0) {
        QFile::remove(path);
        return loaded.type() == QDBusMessage::ErrorMessage
                   ? QStringLiteral("loadScript failed (%1)").arg(errorText(loaded))
                   : QStringLiteral("loadScript refused the script");
    }
    // Run answers once the script has been read and evaluated.
    QString failure;
    bool ran = false;
    for (const QString &objectPath : scriptObjectPaths(answer.at(0).toInt())) {
        const QDBusMessage run =
            m_bus.call(QDBusMessage::createMethodCall(kwinService, objectPath, scriptInterface,
                                                      QStringLiteral("run")),
                       QDBus::Block, callTimeoutMs);
        ran = run.type() == QDBusMessage::ReplyMessage;
        if (ran)
            break;
        failure = errorText(run);
    }
    QFile::remove(path);
    // A script that fails to evaluate is dropped by KWin, which still answers run.
    if (ran && isLoaded(pluginName))
        return {};
    unload(pluginName);
    return ran ? QStringLiteral("KWin did not keep the script running")
               : QStringLiteral("the script did not run (%1)").arg(failure);
}

void KWinScripting::runOnce(const QString &pluginName, const QByteArray &source)
{
    if (m_oneShots.size() < maxQueuedOneShots)
        m_oneShots.append({pluginName, source});
    startNextOneShot();
}

// One at a time: KWin 5.27 numbers a script by the count of loaded scripts, so
// one loaded before the last is gone could take its still-exported number.
void KWinScripting::startNextOneShot()
{
    if (m_oneShotRunning || m_oneShots.isEmpty())
        return;
    const auto [pluginName, source] = m_oneShots.takeFirst();
    const QString path = writeScript(pluginName, source);
    if (path.isEmpty())
        return startNextOneShot();
    m_oneShotRunning = true;
    callAsync(
        this, m_bus, scriptingCall(QStringLiteral("loadScript"), {path, pluginName}),
        [this, path, pluginName](const QDBusMessage &reply) {
            const QDBusPendingReply<int> id = reply;
            const bool loaded = !id.isError() && id.value() >= 0;
            runThenUnload(loaded ? scriptObjectPaths(id.value()) : QStringList(), path, pluginName);
        },
        callTimeoutMs);
}

void KWinScripting::runThenUnload(QStringList objectPaths, const QString &path,
                                  const QString &pluginName)
{
    if (objectPaths.isEmpty()) {
        QFile::remove(path);
        callAsync(
            this, m_bus, scriptingCall(QStringLiteral("unloadScript"), {pluginName}),
            [this](const QDBusMessage &) {
                m_oneShotRunning = false;
                startNextOneShot();
            },
            callTimeoutMs);
        return;
    }
    const QString objectPath = objectPaths.takeFirst();
    callAsync(
        this, m_bus,
        QDBusMessage::createMethodCall(kwinService, objectPath, scriptInterface,
                                       QStringLiteral("run")),
        [this, objectPaths, path, pluginName](const QDBusMessage &reply) {
            const bool failed = reply.type() == QDBusMessage::ErrorMessage;
            runThenUnload(failed ? objectPaths : QStringList(), path, pluginName);
        },
        callTimeoutMs);
}

void KWinScripting::unload(const QString &pluginName)
{
    m_bus.call(scriptingCall(QStringLiteral("unloadScript"), {pluginName}), QDBus::Block,
               callTimeoutMs);
}

bool KWinScripting::isLoaded(const QString &pluginName)
{
    const QDBusMessage reply = m_bus.call(
        scriptingCall(QStringLiteral("isScriptLoaded"), {pluginName}), QDBus::Block, callTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1 &&
           reply.arguments().at(0).toBool();
}

} // namespace nudgewatch
