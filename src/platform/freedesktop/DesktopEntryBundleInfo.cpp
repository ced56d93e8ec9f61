#include "platform/freedesktop/DesktopEntryBundleInfo.h"

#include "platform/freedesktop/DesktopEntryRegistry.h"

namespace nudgewatch {

BundleNames DesktopEntryBundleInfo::namesForBundle(const QString &path) const
{
    const std::optional<DesktopEntry> entry = m_entries.entryAt(path);
    if (!entry || entry->name.isEmpty())
        return {};
    return {entry->localizedName, entry->name};
}

} // namespace nudgewatch
