#pragma once

#include <QString>

#include <optional>

namespace nudgewatch {

// Names an application's entry gives itself.
struct BundleNames {
    std::optional<QString> localizedName; // in the user's language
    std::optional<QString> name;          // untranslated
};

class BundleInfo {
public:
    virtual ~BundleInfo() = default;
    virtual BundleNames namesForBundle(const QString &path) const = 0;
};

} // namespace nudgewatch
