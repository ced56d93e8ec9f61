#include "platform/kwin/KWinScriptTracker.h"

#include "platform/dbus/BusNames.h"
#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/freedesktop/PlatformLog.h"
#include "platform/freedesktop/WindowResolver.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusVirtualObject>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

namespace nudgewatch {

namespace {

const QString focusObjectPath = QStringLiteral("/org/nudgewatch/KWinFocus");
// One name for the program's script: a new instance unloads what a crashed one left.
const QString focusPlugin = QStringLiteral("nudgewatch-focus");

QByteArray scriptTemplate(const QString &resource)
{
    QFile file(resource);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The template with `placeholder` (a quoted JS string) replaced by `value` as
// a JS string literal; JSON's quoting is JS's.
QByteArray fillIn(const QString &resource, const char *placeholder, const QString &value)
{
    QByteArray literal = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    literal = literal.mid(1, literal.size() - 2);
    return scriptTemplate(resource).replace(placeholder, literal);
}

} // namespace

// Hands every call on the object's path to the tracker and answers it: KWin
// logs calls that get no answer.
class KWinScriptTracker::Receiver final : public QDBusVirtualObject {
public:
    explicit Receiver(KWinScriptTracker &tracker) : m_tracker(tracker) {}

    QString introspect(const QString &) const override
    {
        const QString window = QStringLiteral("<arg type=\"s\" direction=\"in\"/>").repeated(5);
        return QStringLiteral("<interface name=\"%1\"><method name=\"Activated\">%2</method>"
                              "<method name=\"Added\">%2</method><method name=\"Removed\">"
                              "<arg type=\"s\" direction=\"in\"/></method></interface>")
            .arg(focusInterface, window);
    }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (message.type() != QDBusMessage::MethodCallMessage ||
            message.interface() != focusInterface)
            return false; // introspection and unknown methods: Qt answers them
        bool accepted = false;
        m_tracker.received(
            {message.service(), message.interface(), message.member(), message.arguments()},
            &accepted);
        if (message.isReplyRequired())
            QDBusConnection(connection)
                .send(accepted ? message.createReply()
                               : message.createErrorReply(
                                     QDBusError::AccessDenied,
                                     QStringLiteral("only KWin's script may report windows")));
        return true;
    }

private:
    KWinScriptTracker &m_tracker;
};

KWinScriptTracker::KWinScriptTracker(const DesktopEntryRegistry &entries, QDBusConnection bus,
                                     QObject *parent)
    : FrontmostApplicationTracker(parent), m_entries(entries), m_bus(bus),
      m_logic([this](const KWinWindow &window) { return resolve(window); },
              QCoreApplication::applicationPid()),
      m_scripting(bus), m_receiver(std::make_unique<Receiver>(*this)),
      m_kwinWatcher(kwinService, bus, QDBusServiceWatcher::WatchForOwnerChange)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_settle, &QTimer::timeout, this, [this] {
        if (const auto application = m_logic.settle())
            emit activated(*application);
    });
    connect(&m_kwinWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &, const QString &newOwner) {
                kwinOwnerChanged(newOwner);
            });
}

KWinScriptTracker::~KWinScriptTracker()
{
    if (m_running)
        m_scripting.unload(focusPlugin);
    m_bus.unregisterObject(focusObjectPath);
}

QString KWinScriptTracker::start()
{
    if (!m_bus.isConnected())
        return QStringLiteral("no session bus");
    if (!m_bus.registerVirtualObject(focusObjectPath, m_receiver.get()))
        return QStringLiteral("cannot export %1 on the session bus").arg(focusObjectPath);
    return loadScript();
}

QString KWinScriptTracker::loadScript()
{
    const QDBusReply<QString> owner = m_bus.interface()->serviceOwner(kwinService);
    if (!owner.isValid())
        return QStringLiteral("%1 is not on the session bus").arg(kwinService);
    m_logic.setKWinOwner(owner.value());
    // The script calls back the unique name, so no well-known name is needed.
    const QString self = m_bus.baseService();
    if (!isUniqueBusName(self))
        return QStringLiteral("the bus gave an unexpected unique name");
    const QString error = m_scripting.load(
        focusPlugin, fillIn(QStringLiteral(":/kwin/focus.js"), "\"@SERVICE@\"", self));
    m_running = error.isEmpty();
    return error;
}

void KWinScriptTracker::kwinOwnerChanged(const QString &newOwner)
{
    // A new KWin knows nothing of the script the old one ran.
    const bool wasRunning = m_running;
    m_running = false;
    m_settle.stop();
    m_logic.setKWinOwner(newOwner);
    if (!newOwner.isEmpty()) {
        const QString error = loadScript();
        if (!error.isEmpty())
            std::fprintf(stderr, "nudgewatch: the restarted KWin did not take the script (%s)\n",
                         qPrintable(error));
    }
    if (m_running != wasRunning)
        emit statusChanged();
}

void KWinScriptTracker::received(const KWinCall &call, bool *accepted)
{
    const KWinFocusLogic::Outcome outcome = m_logic.handle(call);
    *accepted = outcome.accepted;
    if (!outcome.accepted) {
        qCDebug(lcPlatform) << "refused" << call.member << "from" << call.sender;
        return;
    }
    if (call.member == QLatin1String("Activated")) {
        if (outcome.awaitingWindow)
            m_settle.start();
        else
            m_settle.stop();
    }
    if (outcome.announce)
        emit activated(*outcome.announce);
    if (outcome.output)
        m_output = *outcome.output;
    if (outcome.fullscreen && *outcome.fullscreen != m_fullscreen) {
        m_fullscreen = *outcome.fullscreen;
        emit fullscreenChanged(m_fullscreen);
    }
}

std::optional<RunningApplication> KWinScriptTracker::frontmostApplication() const
{
    return m_logic.front();
}

TrackerStatus KWinScriptTracker::status() const
{
    if (m_running)
        return {};
    return {false,
            tr("KWin no longer runs the script that tells Nudgewatch which application is in "
               "front, so it does not remind you: a reminder now could be about the "
               "application you are using."),
            {}};
}

bool KWinScriptTracker::raiseWindowOf(const QString &entryPath)
{
    if (!m_running)
        return false;
    const std::optional<QString> window = m_logic.windowOf(entryPath);
    if (!window)
        return false;
    m_scripting.runOnce(QStringLiteral("nudgewatch-raise-%1-%2")
                            .arg(QCoreApplication::applicationPid())
                            .arg(++m_raises),
                        fillIn(QStringLiteral(":/kwin/raise.js"), "\"@WINDOW@\"", *window));
    return true;
}

RunningApplication KWinScriptTracker::resolve(const KWinWindow &window) const
{
    WindowFacts facts;
    facts.kdeDesktopFile = window.desktopFileName;
    facts.wmInstance = window.resourceName;
    facts.wmClass = window.resourceClass;
    addProcessFacts(facts, window.pid);
    const DesktopEntryIndex &index = m_entries.index();
    RunningApplication application = resolveRunningApplication(index, {facts});
    if (application.bundlePath || window.resourceClass.isEmpty())
        return application;
    // KWin lower-cases the WM_CLASS of X11 windows; StartupWMClass keeps its case.
    for (const DesktopEntry &entry : index.entries()) {
        if (entry.startupWMClass.compare(window.resourceClass, Qt::CaseInsensitive) == 0)
            return {entry.localizedName, index.trackedPath(entry.path)};
    }
    return application;
}

} // namespace nudgewatch
