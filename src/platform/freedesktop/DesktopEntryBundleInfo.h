#pragma once

#include "core/BundleInfo.h"

namespace nudgewatch {

// Names of a desktop entry: Name[<locale>] for the user's language, then Name.
class DesktopEntryBundleInfo final : public BundleInfo {
public:
    BundleNames namesForBundle(const QString &path) const override;
};

} // namespace nudgewatch
