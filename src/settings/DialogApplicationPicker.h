#pragma once

#include "core/ApplicationCatalog.h"
#include "core/IconProvider.h"
#include "settings/ApplicationPicker.h"

namespace nudgewatch {

// The picker as a window-modal "Add Application" dialog.
class DialogApplicationPicker final : public ApplicationPicker {
public:
    DialogApplicationPicker(const ApplicationCatalog &catalog, const IconProvider &icons)
        : m_catalog(catalog), m_icons(icons)
    {
    }
    void pick(QWidget *parent, int limit, const QStringList &tracked,
              std::function<void(const QStringList &paths)> chosen) override;

private:
    const ApplicationCatalog &m_catalog;
    const IconProvider &m_icons;
};

} // namespace nudgewatch
