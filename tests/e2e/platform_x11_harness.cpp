#include "platform_x11_harness.h"

#include <QThread>

#include <cstdlib>

namespace nudgewatch::e2e {

ChildProcesses::~ChildProcesses()
{
    stopAll();
}

QProcess *ChildProcesses::start(const QString &program, const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessEnvironment(m_environment);
    process->start(program, arguments);
    if (!process->waitForStarted(5000))
        return nullptr;
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

void ChildProcesses::stop(QProcess *process)
{
    if (process == nullptr || process->state() == QProcess::NotRunning)
        return;
    process->terminate();
    if (!process->waitForFinished(3000)) {
        process->kill();
        process->waitForFinished(3000);
    }
}

void ChildProcesses::stopAll()
{
    // Newest first: windows before their window manager.
    for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it)
        stop(it->get());
    m_processes.clear();
}

QString runTool(const QString &program, const QStringList &arguments, int timeoutMs)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

xcb_window_t windowWithTitle(const QString &title)
{
    const QString found =
        runTool(QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--name"),
                 QLatin1Char('^') + title + QLatin1Char('$')});
    return found.section(QLatin1Char('\n'), 0, 0).toUInt();
}

bool activateWindow(xcb_window_t window)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"),
                                              QStringLiteral("--sync"), QString::number(window)});
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

RootProperties::RootProperties() : m_x(XcbConnection::open()) {}

std::optional<xcb_window_t> RootProperties::activeWindow()
{
    xcb_window_t window = XCB_WINDOW_NONE;
    if (!m_x || !xcb_ewmh_get_active_window_reply(
                    m_x->ewmh(), xcb_ewmh_get_active_window(m_x->ewmh(), 0), &window, nullptr))
        return std::nullopt;
    return window;
}

bool RootProperties::windowManagerRunning()
{
    xcb_window_t window = XCB_WINDOW_NONE;
    if (!m_x || !xcb_ewmh_get_supporting_wm_check_reply(
                    m_x->ewmh(), xcb_ewmh_get_supporting_wm_check(m_x->ewmh(), m_x->root()),
                    &window, nullptr))
        return false;
    xcb_connection_t *c = m_x->connection();
    auto *attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
    std::free(attributes);
    return attributes != nullptr;
}

void RootProperties::writeActiveWindow(xcb_window_t window)
{
    xcb_change_property(m_x->connection(), XCB_PROP_MODE_REPLACE, m_x->root(),
                        m_x->ewmh()->_NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 32, 1, &window);
    // A round trip, so the change has reached the server when this returns.
    std::free(xcb_get_input_focus_reply(m_x->connection(), xcb_get_input_focus(m_x->connection()),
                                        nullptr));
}

} // namespace nudgewatch::e2e
