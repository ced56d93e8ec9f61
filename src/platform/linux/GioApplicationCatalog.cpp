#include "platform/linux/GioSymbols.h"

#include "platform/linux/GioApplicationCatalog.h"

#include <algorithm>

namespace nudgewatch {

GioApplicationCatalog::GioApplicationCatalog(QObject *parent) : ApplicationCatalog(parent) {}

GioApplicationCatalog::~GioApplicationCatalog()
{
    if (!m_monitor)
        return;
    const GioSymbols *gio = gioSymbols();
    gio->signalHandlersDisconnectMatched(m_monitor, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr,
                                         this);
    gio->objectUnref(m_monitor);
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
    const GioSymbols *gio = gioSymbols();
    if (gio == nullptr)
        return {};
    if (!m_monitor) {
        m_monitor = gio->appInfoMonitorGet();
        gio->signalConnectData(
            m_monitor, "changed", G_CALLBACK(&GioApplicationCatalog::onMonitorChanged),
            const_cast<GioApplicationCatalog *>(this), nullptr, GConnectFlags(0));
    }
    if (!m_cache)
        m_cache = list(*gio);
    return *m_cache;
}

QList<InstalledApplication> GioApplicationCatalog::list(const GioSymbols &gio)
{
    QList<InstalledApplication> applications;
    GList *all = gio.appInfoGetAll();
    for (GList *item = all; item != nullptr; item = item->next) {
        auto *info = static_cast<GAppInfo *>(item->data);
        if (!gio.isDesktopAppInfo(info) || !gio.appInfoShouldShow(info))
            continue;
        const char *file = gio.desktopAppInfoGetFilename(reinterpret_cast<GDesktopAppInfo *>(info));
        if (file == nullptr)
            continue;
        applications.append({QString::fromUtf8(gio.appInfoGetId(info)),
                             QString::fromUtf8(gio.appInfoGetName(info)), QString::fromUtf8(file),
                             QString::fromUtf8(gio.appInfoGetDescription(info))});
    }
    g_list_free_full(all, gio.objectUnref);
    std::sort(applications.begin(), applications.end(), [](const auto &a, const auto &b) {
        const int byName = a.name.compare(b.name, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.desktopId < b.desktopId;
    });
    return applications;
}

} // namespace nudgewatch
