// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include "platform/freedesktop/GioSymbols.h"

#include "platform/gnome/GnomeDndSource.h"

#include "platform/freedesktop/PlatformLog.h"

#include <QTimer>

namespace nudgewatch {

namespace {

constexpr const char *schemaId = "org.gnome.desktop.notifications";
constexpr const char *bannersKey = "show-banners";

// The schema, when it is installed and has show-banners as a boolean.
GSettingsSchema *bannersSchema(const GioSymbols &gio)
{
    GSettingsSchemaSource *source = gio.settingsSchemaSourceGetDefault();
    GSettingsSchema *schema =
        source ? gio.settingsSchemaSourceLookup(source, schemaId, TRUE) : nullptr;
    if (schema == nullptr)
        return nullptr;
    bool boolean = false;
    if (gio.settingsSchemaHasKey(schema, bannersKey)) {
        GSettingsSchemaKey *key = gio.settingsSchemaGetKey(schema, bannersKey);
        boolean =
            gio.variantTypeEqual(gio.settingsSchemaKeyGetValueType(key), G_VARIANT_TYPE_BOOLEAN);
        gio.settingsSchemaKeyUnref(key);
    }
    if (!boolean) {
        gio.settingsSchemaUnref(schema);
        return nullptr;
    }
    return schema;
}

} // namespace

std::unique_ptr<GnomeDndSource> GnomeDndSource::create(const Clock &clock, QObject *parent)
{
    const GioSymbols *gio = gioSymbols();
    GSettingsSchema *schema = gio ? bannersSchema(*gio) : nullptr;
    if (schema == nullptr) {
        qCDebug(lcPlatform) << "no GSettings schema" << schemaId << "with" << bannersKey;
        return nullptr;
    }
    GSettings *settings = gio->settingsNewFull(schema, nullptr, nullptr);
    gio->settingsSchemaUnref(schema);
    return std::unique_ptr<GnomeDndSource>(new GnomeDndSource(*gio, settings, clock, parent));
}

GnomeDndSource::GnomeDndSource(const GioSymbols &gio, GSettings *settings, const Clock &clock,
                               QObject *parent)
    : PresenceSource(parent), m_gio(gio), m_settings(settings), m_clock(clock)
{
    m_handler = m_gio.signalConnectData(m_settings, "changed::show-banners",
                                        G_CALLBACK(&GnomeDndSource::bannersChanged), this, nullptr,
                                        GConnectFlags(0));
    // Reading once subscribes GSettings to changes; the first value is
    // announced once whoever listens is connected.
    m_gio.settingsGetBoolean(m_settings, bannersKey);
    QTimer::singleShot(0, this, &GnomeDndSource::read);
}

GnomeDndSource::~GnomeDndSource()
{
    m_gio.signalHandlerDisconnect(m_settings, m_handler);
    m_gio.objectUnref(m_settings);
}

void GnomeDndSource::bannersChanged(GSettings *, const char *, void *self)
{
    static_cast<GnomeDndSource *>(self)->read();
}

void GnomeDndSource::read()
{
    // The switch in GNOME's message list is show-banners, inverted.
    const bool active = !m_gio.settingsGetBoolean(m_settings, bannersKey);
    if (active == m_active)
        return;
    m_active = active;
    emit conditionChanged(PresenceCondition::DoNotDisturb, active, m_clock.now());
}

} // namespace nudgewatch
