#include "platform/kwin/KWinFocusLogic.h"

#include <QUuid>

namespace nudgewatch {

namespace {

// A string argument of printable text within the bound, or none.
std::optional<QString> textArgument(const QVariant &value, qsizetype maxLength)
{
    if (value.metaType().id() != QMetaType::QString)
        return std::nullopt;
    QString text = value.toString();
    if (text.size() > maxLength)
        return std::nullopt;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return std::nullopt;
    }
    return text;
}

bool isWindowId(const QString &id)
{
    return id.size() <= 38 && !QUuid::fromString(id).isNull();
}

std::optional<qint64> processId(const QString &text)
{
    if (text.isEmpty() || text.size() > 10)
        return std::nullopt;
    for (const QChar c : text) {
        if (!c.isDigit() || c.unicode() > '9')
            return std::nullopt;
    }
    const qint64 pid = text.toLongLong();
    return pid <= 0x7fffffff ? std::optional(pid) : std::nullopt;
}

} // namespace

KWinFocusLogic::KWinFocusLogic(Resolve resolve, qint64 ownPid)
    : m_resolve(std::move(resolve)), m_ownPid(ownPid)
{
}

void KWinFocusLogic::setKWinOwner(const QString &uniqueName)
{
    if (uniqueName == m_owner)
        return;
    m_owner = uniqueName;
    m_windows.clear();
}

// Null: every argument empty and the pid 0. Otherwise a window with a valid id;
// a name that is not printable text within the bound is one KWin did not have.
std::optional<KWinWindow> KWinFocusLogic::parseWindow(const QVariantList &arguments)
{
    if (arguments.size() != 5)
        return std::nullopt;
    QString values[5];
    for (int i = 0; i < 5; ++i) {
        if (arguments.at(i).metaType().id() != QMetaType::QString)
            return std::nullopt;
        const std::optional<QString> text = textArgument(arguments.at(i), maxText);
        const bool name = i >= 1 && i <= 3;
        if (!text && !name)
            return std::nullopt;
        values[i] = text.value_or(QString());
    }
    const std::optional<qint64> pid = processId(values[4]);
    if (!pid)
        return std::nullopt;
    KWinWindow window{values[0], values[1], values[2], values[3], *pid};
    if (window == KWinWindow{})
        return window;
    return isWindowId(window.id) ? std::optional(window) : std::nullopt;
}

KWinFocusLogic::Outcome KWinFocusLogic::handle(const KWinCall &call)
{
    if (m_owner.isEmpty() || call.sender != m_owner || call.interface != focusInterface)
        return {};
    if (call.member == QLatin1String("Removed")) {
        if (call.arguments.size() != 1)
            return {};
        const std::optional<QString> id = textArgument(call.arguments.at(0), maxText);
        if (!id || !isWindowId(*id))
            return {};
        m_windows.remove(*id);
        return {true, false, std::nullopt, std::nullopt, std::nullopt};
    }
    if (call.member == QLatin1String("Fullscreen")) {
        const std::optional<QString> value =
            call.arguments.size() == 1 ? textArgument(call.arguments.at(0), 1) : std::nullopt;
        if (!value || (*value != QLatin1String("0") && *value != QLatin1String("1")))
            return {};
        return {true, false, std::nullopt, *value == QLatin1String("1"), std::nullopt};
    }
    if (call.member == QLatin1String("Output")) {
        const std::optional<QString> name =
            call.arguments.size() == 1 ? textArgument(call.arguments.at(0), maxText) : std::nullopt;
        if (!name)
            return {};
        return {true, false, std::nullopt, std::nullopt, *name};
    }
    const bool activated = call.member == QLatin1String("Activated");
    if (!activated && call.member != QLatin1String("Added"))
        return {};
    const std::optional<KWinWindow> window = parseWindow(call.arguments);
    if (!window)
        return {};
    const bool null = window->id.isEmpty();
    if (!activated) {
        if (null)
            return {};
        remember(*window, false);
        return {true, false, std::nullopt, std::nullopt, std::nullopt};
    }
    if (null)
        return {true, true, std::nullopt, std::nullopt, std::nullopt};
    remember(*window, true);
    return {true, false, m_filter.observe(applicationOf(*window)), std::nullopt, std::nullopt};
}

std::optional<RunningApplication> KWinFocusLogic::settle()
{
    // Nothing in front is no application in use: the last one is left.
    return m_filter.observe(unknownApplication());
}

std::optional<RunningApplication> KWinFocusLogic::front() const
{
    return m_filter.current();
}

std::optional<QString> KWinFocusLogic::windowOf(const QString &entryPath) const
{
    std::optional<QString> best;
    quint64 bestActive = 0;
    for (const Known &known : m_windows) {
        if (known.window.pid == m_ownPid || (best && known.lastActive < bestActive))
            continue;
        if (applicationOf(known.window).bundlePath == entryPath) {
            best = known.window.id;
            bestActive = known.lastActive;
        }
    }
    return best;
}

RunningApplication KWinFocusLogic::applicationOf(const KWinWindow &window) const
{
    if (window.pid == m_ownPid)
        return ownApplication();
    RunningApplication application = m_resolve(window);
    return application.localizedName ? application : unknownApplication();
}

void KWinFocusLogic::remember(const KWinWindow &window, bool active)
{
    auto it = m_windows.find(window.id);
    if (it == m_windows.end()) {
        if (m_windows.size() >= maxWindows)
            return;
        it = m_windows.insert(window.id, {window, 0});
    }
    it->window = window;
    if (active)
        it->lastActive = ++m_activations;
}

} // namespace nudgewatch
