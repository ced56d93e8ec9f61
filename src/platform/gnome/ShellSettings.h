#pragma once

#include <QString>

#include <optional>

namespace nudgewatch {

// GNOME Shell's own settings (schema org.gnome.shell) for one extension,
// through GSettings in GIO, loaded when first asked. None or false when GIO or
// the schema is missing.
class ShellSettings {
public:
    // Whether the extension is listed in enabled-extensions and user
    // extensions are allowed.
    static std::optional<bool> isEnabled(const QString &uuid);
    // Lists it in enabled-extensions and allows user extensions. A running
    // shell that already knows the extension starts it at once.
    static bool enable(const QString &uuid);
};

} // namespace nudgewatch
