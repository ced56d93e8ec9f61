// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include <gio/gdesktopappinfo.h>

#include "platform/linux/GioApplicationCatalog.h"

#include <algorithm>

namespace nudgewatch {

GioApplicationCatalog::GioApplicationCatalog(QObject *parent) : ApplicationCatalog(parent) {}

GioApplicationCatalog::~GioApplicationCatalog()
{
    if (!m_monitor)
        return;
    g_signal_handlers_disconnect_by_data(m_monitor, this);
    g_object_unref(m_monitor);
}

void GioApplicationCatalog::onMonitorChanged(GAppInfoMonitor *, void *self)
{
    auto *catalog = static_cast<GioApplicationCatalog *>(self);
    catalog->m_cache.reset();
    emit catalog->changed();
}

QList<InstalledApplication> GioApplicationCatalog::installedApplications() const
{
    // Watched from the first listing on: GIO reports changes only once the list
    // has been read, and nothing needs it before the picker opens.
    if (!m_monitor) {
        m_monitor = g_app_info_monitor_get();
        g_signal_connect(m_monitor, "changed", G_CALLBACK(&GioApplicationCatalog::onMonitorChanged),
                         const_cast<GioApplicationCatalog *>(this));
    }
    if (!m_cache)
        m_cache = list();
    return *m_cache;
}

QList<InstalledApplication> GioApplicationCatalog::list()
{
    QList<InstalledApplication> applications;
    GList *all = g_app_info_get_all();
    for (GList *item = all; item != nullptr; item = item->next) {
        GAppInfo *info = G_APP_INFO(item->data);
        if (!G_IS_DESKTOP_APP_INFO(info) || !g_app_info_should_show(info))
            continue;
        const char *file = g_desktop_app_info_get_filename(G_DESKTOP_APP_INFO(info));
        if (file == nullptr)
            continue;
        applications.append({QString::fromUtf8(g_app_info_get_id(info)),
                             QString::fromUtf8(g_app_info_get_name(info)), QString::fromUtf8(file),
                             QString::fromUtf8(g_app_info_get_description(info))});
    }
    g_list_free_full(all, g_object_unref);
    std::sort(applications.begin(), applications.end(), [](const auto &a, const auto &b) {
        const int byName = a.name.compare(b.name, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.desktopId < b.desktopId;
    });
    return applications;
}

} // namespace nudgewatch
