#include "platform/gnome/GnomeShellTracker.h"

#include "platform/dbus/DBusMessages.h"
#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/freedesktop/PlatformLog.h"
#include "platform/freedesktop/WindowResolver.h"
#include "platform/gnome/ShellFocus.h"
#include "platform/gnome/ShellSettings.h"

#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>

#include <unistd.h>

namespace nudgewatch {

namespace {

using namespace shellExtension;

// A raise waits this long at most for the extension: the user is waiting.
constexpr int raiseTimeoutMs = 1000;
// The extension answers from the shell's main loop at once; one that takes
// longer is busy (a loaded start-up) and is asked again, a few times, before
// it counts as not answering.
constexpr int focusTimeoutMs = 5000;
constexpr int focusAttempts = 3;

std::optional<QList<QVariant>> argumentsOf(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::nullopt;
    return reply.arguments();
}

} // namespace

GnomeShellTracker::GnomeShellTracker(const DesktopEntryRegistry &entries, QDBusConnection bus,
                                     ShellExtensionFiles files, QObject *parent)
    : FrontmostApplicationTracker(parent), m_entries(entries), m_bus(std::move(bus)),
      m_files(std::move(files)), m_watcher(busName, m_bus,
                                           QDBusServiceWatcher::WatchForRegistration |
                                               QDBusServiceWatcher::WatchForUnregistration)
{
    if (!m_bus.connect(busName, objectPath, interfaceName, QStringLiteral("FocusChanged"), this,
                       SLOT(onFocusChanged(QDBusMessage))))
        qCDebug(lcPlatform) << "cannot follow the GNOME Shell extension:" << m_bus.lastError();
    m_bus.connect(busName, objectPath, interfaceName, QStringLiteral("FullscreenChanged"), this,
                  SLOT(onFullscreenChanged(QDBusMessage)));
    m_bus.connect(busName, objectPath, interfaceName, QStringLiteral("MonitorChanged"), this,
                  SLOT(askMonitor()));
    // The program's screens follow the shell's monitors a moment later, through Xwayland.
    if (auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        connect(gui, &QGuiApplication::screenAdded, this, &GnomeShellTracker::askMonitor);
        connect(gui, &QGuiApplication::screenRemoved, this, &GnomeShellTracker::askMonitor);
    }
    // Each owner of the name is another extension: what the one before was
    // asked no longer counts.
    connect(&m_watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        ++m_owners;
        m_waiting = true;
        m_slowAnswers = 0;
        askExtension();
        updateStatus();
    });
    // Gone, the extension is known not to answer: no longer waiting for it.
    connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        ++m_owners;
        m_waiting = false;
        setAnswering(false);
    });
    askShellVersion();
    askExtension();
    updateStatus();
}

std::optional<RunningApplication> GnomeShellTracker::frontmostApplication() const
{
    return m_filter.current();
}

void GnomeShellTracker::askShellVersion()
{
    callAsync(this, m_bus,
              propertyGetCall(QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
                              QStringLiteral("org.gnome.Shell"), QStringLiteral("ShellVersion")),
              [this](const QDBusMessage &message) {
                  if (const auto reply = argumentsOf(message); reply && reply->size() == 1) {
                      const QVariant value = reply->front().value<QDBusVariant>().variant();
                      if (value.metaType().id() == QMetaType::QString)
                          m_shellMajor = majorVersion(value.toString().left(32));
                  }
                  qCDebug(lcPlatform) << "GNOME Shell major version:" << m_shellMajor.value_or(0);
                  updateStatus();
              });
}

void GnomeShellTracker::askExtension()
{
    // One question at a time: while one is out, later reasons to ask only
    // ask again once it is answered. A question to a former owner is moot.
    if (m_asking && m_asking->owners == m_owners) {
        m_askAgain = true;
        return;
    }
    const Question question{++m_questions, m_owners, m_reports};
    m_asking = question;
    m_askAgain = false;
    callAsync(
        this, m_bus,
        QDBusMessage::createMethodCall(busName, objectPath, interfaceName,
                                       QStringLiteral("GetFocus")),
        [this, question](const QDBusMessage &reply) { answered(question, reply); }, focusTimeoutMs);
    callAsync(
        this, m_bus,
        QDBusMessage::createMethodCall(busName, objectPath, interfaceName,
                                       QStringLiteral("GetFullscreen")),
        [this](const QDBusMessage &reply) {
            if (reply.type() == QDBusMessage::ReplyMessage)
                setFullscreen(reply.arguments());
        },
        focusTimeoutMs);
    askMonitor();
}

void GnomeShellTracker::askMonitor()
{
    QStringList connectors;
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr) {
        for (const QScreen *screen : QGuiApplication::screens())
            connectors.append(screen->name());
    }
    QDBusMessage call = QDBusMessage::createMethodCall(busName, objectPath, interfaceName,
                                                       QStringLiteral("GetMonitor"));
    call << connectors;
    const quint64 question = ++m_monitorQuestions;
    // An extension older than the question leaves the card on the primary monitor.
    callAsync(
        this, m_bus, call,
        [this, question](const QDBusMessage &reply) {
            if (question == m_monitorQuestions)
                m_place = placeFromMonitorReply(reply);
        },
        focusTimeoutMs);
}

void GnomeShellTracker::onFullscreenChanged(const QDBusMessage &message)
{
    setFullscreen(message.arguments());
}

void GnomeShellTracker::setFullscreen(const QList<QVariant> &arguments)
{
    if (arguments.size() != 1 || arguments[0].metaType().id() != QMetaType::Bool)
        return;
    if (const bool fullscreen = arguments[0].toBool(); fullscreen != m_fullscreen) {
        m_fullscreen = fullscreen;
        emit fullscreenChanged(fullscreen);
    }
}

void GnomeShellTracker::answered(const Question &question, const QDBusMessage &message)
{
    // A later question to a newer owner has taken its place.
    if (!m_asking || m_asking->serial != question.serial)
        return;
    m_asking.reset();
    const std::optional<QList<QVariant>> reply = argumentsOf(message);
    if (question.owners == m_owners && !reply &&
        QDBusError(message).type() == QDBusError::NoReply && ++m_slowAnswers < focusAttempts) {
        askExtension();
        return;
    }
    // A focus report since the question is newer than its answer, and shows
    // the extension alive whatever became of the question: a failure then
    // tells nothing.
    const bool overtaken = m_reports != question.reports;
    if (question.owners == m_owners && (reply || !overtaken)) {
        m_waiting = false;
        m_slowAnswers = 0;
        if (reply && !overtaken)
            observe(*reply);
        setAnswering(reply.has_value());
    }
    if (m_askAgain && !m_answering)
        askExtension();
    m_askAgain = false;
}

void GnomeShellTracker::onFocusChanged(const QDBusMessage &message)
{
    if (observe(message.arguments()))
        ++m_reports;
    if (!m_answering)
        askExtension();
}

bool GnomeShellTracker::observe(const QList<QVariant> &arguments)
{
    const std::optional<ShellFocus> focus = focusFromArguments(arguments);
    if (!focus) {
        qCDebug(lcPlatform) << "ignored a malformed focus report from the GNOME Shell extension";
        return false;
    }
    const std::optional<RunningApplication> application =
        applicationForFocus(m_entries.index(), *focus, getpid(), processOf(focus->pid));
    // No focus application (the overview, an empty workspace, all minimised):
    // the last one is left.
    if (const std::optional<RunningApplication> changed =
            m_filter.observe(application ? application : unknownApplication()))
        emit activated(*changed);
    return true;
}

void GnomeShellTracker::setAnswering(bool answering)
{
    m_answering = answering;
    updateStatus();
}

void GnomeShellTracker::updateStatus()
{
    // A copy the program installed earlier is brought up to date without asking;
    // the shell loads the new files at the next login.
    const std::optional<Installed> installed = m_files.installed();
    if (installed && m_shellMajor && !m_updateTried && needsUpdate(*installed, m_shellMajor)) {
        m_updateTried = true;
        updateFiles();
    }
    const Facts::Folder folder = m_files.state();
    Facts facts{.answering = m_answering,
                .waiting = m_waiting,
                .folder = folder,
                .changedThisRun = m_changedThisRun,
                .setupError = m_setupError,
                .obstacle = folder == Facts::Folder::Foreign ? m_files.obstacle() : QString()};
    if (!m_answering && facts.folder == Facts::Folder::Ours)
        facts.enabled = ShellSettings::isEnabled(uuid).value_or(false);
    if (!m_answering && m_shellMajor)
        facts.supportedShell = formatFor(*m_shellMajor).has_value();
    const TrackerStatus status = statusFor(facts);
    if (!status.tracking && !m_waiting && !m_saidUnavailable) {
        m_saidUnavailable = true;
        std::fprintf(stderr,
                     "nudgewatch: frontmost application tracking is unavailable until GNOME "
                     "Shell runs the Nudgewatch extension: %s\n",
                     qPrintable(status.explanation));
    }
    if (status == m_status)
        return;
    m_status = status;
    emit statusChanged();
}

void GnomeShellTracker::updateFiles()
{
    const std::optional<Format> format = formatFor(*m_shellMajor);
    if (!format)
        return;
    const QString error = m_files.install(*format, *m_shellMajor);
    if (!error.isEmpty()) {
        qCDebug(lcPlatform) << "the GNOME Shell extension was not updated:" << error;
        return;
    }
    m_changedThisRun = true;
    std::fprintf(stderr, "nudgewatch: updated the GNOME Shell extension; GNOME Shell loads it at "
                         "the next login\n");
}

std::optional<int> GnomeShellTracker::shellMajor()
{
    if (m_shellMajor)
        return m_shellMajor;
    // No shell on the bus (yet): ask the installed one.
    const QString program = QStandardPaths::findExecutable(QStringLiteral("gnome-shell"));
    if (program.isEmpty())
        return std::nullopt;
    QProcess shell;
    shell.start(program, {QStringLiteral("--version")}, QIODevice::ReadOnly);
    if (shell.waitForFinished(5000) && shell.exitStatus() == QProcess::NormalExit)
        m_shellMajor = majorVersion(QString::fromUtf8(shell.readAllStandardOutput().left(256)));
    else
        shell.kill();
    return m_shellMajor;
}

void GnomeShellTracker::runSetup()
{
    if (m_answering)
        return;
    m_setupError.clear();
    const std::optional<int> major = shellMajor();
    const std::optional<Format> format = major ? formatFor(*major) : std::nullopt;
    if (!major)
        m_setupError = tr("the version of GNOME Shell is unknown");
    else if (const std::optional<Installed> installed = m_files.installed();
             format && (!installed || needsUpdate(*installed, major)))
        m_setupError = m_files.install(*format, *major);
    if (m_setupError.isEmpty() && format) {
        if (!ShellSettings::enable(uuid))
            m_setupError = tr("GNOME Shell's settings could not be changed");
        else if (m_files.state() == Facts::Folder::Ours)
            m_changedThisRun = true;
    }
    if (!m_setupError.isEmpty())
        qCDebug(lcPlatform) << "GNOME Shell extension setup failed:" << m_setupError;
    updateStatus();
    // A shell that knew the extension already starts it at once.
    askExtension();
}

bool GnomeShellTracker::raiseWindowOf(const QString &entryPath)
{
    if (!m_answering)
        return false;
    const DesktopEntryIndex &index = m_entries.index();
    const DesktopEntry *entry = index.byPath(index.launchedPath(entryPath));
    if (entry == nullptr)
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(busName, objectPath, interfaceName,
                                                       QStringLiteral("Activate"));
    call << entry->desktopId;
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, raiseTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1 &&
           reply.arguments().front().metaType().id() == QMetaType::Bool &&
           reply.arguments().front().toBool();
}

} // namespace nudgewatch
