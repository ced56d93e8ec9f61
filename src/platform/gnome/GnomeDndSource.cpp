#include "platform/gnome/GnomeDndSource.h"

#include "platform/freedesktop/SettingsSchema.h"

#include <QTimer>

namespace nudgewatch {

namespace {

constexpr const char *bannersKey = "show-banners";

} // namespace

std::unique_ptr<GnomeDndSource> GnomeDndSource::create(const Clock &clock, QObject *parent)
{
    auto settings = SettingsSchema::open("org.gnome.desktop.notifications");
    if (!settings || !settings->boolean(bannersKey))
        return nullptr;
    return std::unique_ptr<GnomeDndSource>(new GnomeDndSource(std::move(settings), clock, parent));
}

GnomeDndSource::GnomeDndSource(std::unique_ptr<SettingsSchema> settings, const Clock &clock,
                               QObject *parent)
    : PresenceSource(parent), m_settings(std::move(settings)), m_clock(clock)
{
    connect(m_settings.get(), &SettingsSchema::changed, this, [this](const QString &key) {
        if (key == QLatin1String(bannersKey))
            read();
    });
    // The first value is announced once whoever listens is connected.
    QTimer::singleShot(0, this, &GnomeDndSource::read);
}

GnomeDndSource::~GnomeDndSource() = default;

void GnomeDndSource::read()
{
    // The switch in GNOME's message list is show-banners, inverted.
    const bool active = !m_settings->boolean(bannersKey).value_or(true);
    if (active == m_active)
        return;
    m_active = active;
    emit conditionChanged(PresenceCondition::DoNotDisturb, active, m_clock.now());
}

PresenceSourceList gnomePresenceSources(const PresenceSetup &, const Clock &clock)
{
    PresenceSourceList sources;
    if (auto dnd = GnomeDndSource::create(clock))
        sources.push_back(std::move(dnd));
    return sources;
}

} // namespace nudgewatch
