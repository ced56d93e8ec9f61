#pragma once

#include "core/BundleInfo.h"

namespace nudgewatch {

class DesktopEntryRegistry;

// Names of a desktop entry, from the program's index of them: Name[<locale>]
// for the user's language, then Name.
class DesktopEntryBundleInfo final : public BundleInfo {
public:
    explicit DesktopEntryBundleInfo(const DesktopEntryRegistry &entries) : m_entries(entries) {}

    BundleNames namesForBundle(const QString &path) const override;

private:
    const DesktopEntryRegistry &m_entries;
};

} // namespace nudgewatch
