#include "platform/gnome/ShellBlurWindowSystem.h"

#include "platform/dbus/DBusMessages.h"
#include "platform/freedesktop/PlatformLog.h"
#include "platform/gnome/ShellBlur.h"
#include "platform/gnome/ShellExtension.h"

namespace nudgewatch {

namespace {

// One frame of a 60 Hz display: the outline follows the card's drop at the
// display's rate, and no faster.
constexpr double frameSeconds = 1.0 / 60;
// The extension answers from the shell's main loop: a busy shell takes a while.
constexpr int versionTimeoutMs = 5000;

} // namespace

ShellBlurWindowSystem::ShellBlurWindowSystem(std::unique_ptr<WindowSystem> x11, QDBusConnection bus,
                                             Scheduler &scheduler, QObject *parent)
    : WindowSystem(parent), m_x11(std::move(x11)), m_bus(std::move(bus)), m_scheduler(scheduler),
      m_watcher(shellExtension::busName, m_bus,
                QDBusServiceWatcher::WatchForRegistration |
                    QDBusServiceWatcher::WatchForUnregistration)
{
    connect(m_x11.get(), &WindowSystem::windowDestroyed, this, [this](WId id) {
        m_outlines.remove(id);
        emit windowDestroyed(id);
    });
    // A new extension knows no outline: each is sent to it again.
    connect(&m_watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        for (Outline &outline : m_outlines)
            outline.sent = {};
        askVersion();
    });
    connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        ++m_versionQuestions;
        m_offered = false;
    });
    askVersion();
}

ShellBlurWindowSystem::~ShellBlurWindowSystem() = default;

bool ShellBlurWindowSystem::setInputRegion(QWindow &window, const QRegion &region)
{
    return m_x11->setInputRegion(window, region);
}

bool ShellBlurWindowSystem::refreshBlur()
{
    askVersion();
    return m_offered;
}

void ShellBlurWindowSystem::askVersion()
{
    const quint64 question = ++m_versionQuestions;
    callAsync(
        this, m_bus,
        propertyGetCall(shellExtension::busName, shellExtension::objectPath,
                        shellExtension::interfaceName, QStringLiteral("Version")),
        [this, question](const QDBusMessage &reply) {
            if (question != m_versionQuestions)
                return;
            const std::optional<uint> version = shellBlur::versionFromReply(reply);
            m_offered = version && *version >= shellBlur::firstVersion;
            qCDebug(lcPlatform) << "GNOME Shell extension blurs behind windows:" << m_offered;
            send();
        },
        versionTimeoutMs);
}

void ShellBlurWindowSystem::setBlurRegion(QWindow &window, const QRegion &region)
{
    setBlurOutline(window.winId(), shellBlur::pixelRectangles(region, window.devicePixelRatio()));
}

void ShellBlurWindowSystem::setBlurOutline(WId window, const QList<QRect> &pixels)
{
    Outline &outline = m_outlines[window];
    outline.wanted.outline = pixels;
    changed(outline);
}

void ShellBlurWindowSystem::setBlurStrength(QWindow &window, double strength)
{
    setBlurStrength(window.winId(), strength);
}

void ShellBlurWindowSystem::setBlurStrength(WId window, double strength)
{
    Outline &outline = m_outlines[window];
    outline.wanted.strength = shellBlur::steppedStrength(strength);
    changed(outline);
}

void ShellBlurWindowSystem::changed(Outline &outline)
{
    if (outline.wanted == outline.sent)
        return;
    // Within a frame of the last send the change waits for the frame's end;
    // else for the other changes of this turn of the event loop.
    if (m_frame && m_frame->isValid()) {
        m_changedInFrame = true;
        return;
    }
    m_frame = m_scheduler.scheduleOnce(0, [this] { send(); });
}

void ShellBlurWindowSystem::send()
{
    m_changedInFrame = false;
    // Without the extension's blur nothing is sent: an older one knows no such call.
    if (!m_offered)
        return;
    bool sent = false;
    for (auto it = m_outlines.begin(); it != m_outlines.end(); ++it) {
        if (it->wanted == it->sent)
            continue;
        it->sent = it->wanted;
        sent = true;
        callAsync(this, m_bus,
                  shellBlur::blurCall(it.key(), it->wanted.outline, it->wanted.strength),
                  [](const QDBusMessage &reply) {
                      if (reply.type() == QDBusMessage::ErrorMessage)
                          qCDebug(lcPlatform)
                              << "the GNOME Shell extension did not blur:" << reply.errorMessage();
                  });
    }
    if (!sent)
        return;
    m_frame = m_scheduler.scheduleOnce(frameSeconds, [this] {
        if (m_changedInFrame)
            send();
    });
}

} // namespace nudgewatch
