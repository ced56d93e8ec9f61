#pragma once

#include "core/ApplicationCatalog.h"

#include <optional>

// Declared here so GLib headers, which use Qt's "signals" keyword as a name,
// stay out of this header.
typedef struct _GAppInfoMonitor GAppInfoMonitor;

namespace nudgewatch {

struct GioSymbols;

// The applications GIO lists for menus (g_app_info_get_all, those it says to
// show), one per desktop ID: the effective entry by XDG precedence. Read on
// first use, not at start-up (a long list takes a while); from then on kept
// current through GAppInfoMonitor, which reports on the GLib main context that
// Qt's event loop runs.
class GioApplicationCatalog final : public ApplicationCatalog {
    Q_OBJECT
public:
    explicit GioApplicationCatalog(QObject *parent = nullptr);
    ~GioApplicationCatalog() override;

    QList<InstalledApplication> installedApplications() const override;

private:
    static void onMonitorChanged(GAppInfoMonitor *monitor, void *self);
    static QList<InstalledApplication> list(const GioSymbols &gio);

    mutable GAppInfoMonitor *m_monitor = nullptr;
    mutable std::optional<QList<InstalledApplication>> m_cache;
};

} // namespace nudgewatch
