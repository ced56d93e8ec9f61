#include "platform/gnome/GnomeDndSource.h"

#include "platform/dbus/DBusMessages.h"
#include "platform/freedesktop/SettingsSchema.h"

namespace nudgewatch {

namespace {

constexpr const char *bannersKey = "show-banners";
const QString shellName = QStringLiteral("org.gnome.Shell");

} // namespace

std::unique_ptr<GnomeDndSource> GnomeDndSource::create(const QDBusConnection &bus,
                                                       const Clock &clock, QObject *parent)
{
    auto settings = SettingsSchema::open("org.gnome.desktop.notifications");
    if (!settings || !settings->boolean(bannersKey))
        return nullptr;
    return std::unique_ptr<GnomeDndSource>(
        new GnomeDndSource(std::move(settings), bus, clock, parent));
}

GnomeDndSource::GnomeDndSource(std::unique_ptr<SettingsSchema> settings, const QDBusConnection &bus,
                               const Clock &clock, QObject *parent)
    : PresenceSource(parent), m_settings(std::move(settings)), m_clock(clock),
      m_shell(shellName, bus, QDBusServiceWatcher::WatchForOwnerChange)
{
    connect(m_settings.get(), &SettingsSchema::changed, this, [this](const QString &key) {
        if (key == QLatin1String(bannersKey))
            read();
    });
    // The switch is GNOME Shell's own: a desktop that only names GNOME
    // (Budgie, GNOME Flashback) may keep a stale copy of it.
    connect(&m_shell, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &, const QString &owner) {
                m_shellRuns = !owner.isEmpty();
                read();
            });
    QDBusMessage hasOwner = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    hasOwner << shellName;
    // The first value is announced once the bus has answered, on a later turn
    // of the event loop, when whoever listens is connected.
    callAsync(this, bus, hasOwner, [this](const QDBusMessage &reply) {
        m_shellRuns = booleanArgument(plainArguments(reply)).value_or(false);
        read();
    });
}

GnomeDndSource::~GnomeDndSource() = default;

void GnomeDndSource::read()
{
    // The switch in GNOME's message list is show-banners, inverted.
    report(PresenceCondition::DoNotDisturb,
           m_shellRuns && !m_settings->boolean(bannersKey).value_or(true), m_clock.now());
}

PresenceSourceList gnomePresenceSources(const PresenceSetup &, const Clock &clock)
{
    PresenceSourceList sources;
    if (auto dnd = GnomeDndSource::create(QDBusConnection::sessionBus(), clock))
        sources.push_back(std::move(dnd));
    return sources;
}

} // namespace nudgewatch
