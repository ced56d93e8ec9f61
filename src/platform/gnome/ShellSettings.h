#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace nudgewatch {

// The shell's three settings that decide whether a user extension runs.
struct ShellExtensionLists {
    QStringList enabled;
    QStringList disabled; // wins over enabled
    bool userExtensionsOff = false;

    bool turnsOn(const QString &uuid) const;
    // The lists with the extension on and nothing else changed.
    ShellExtensionLists turnedOn(const QString &uuid) const;
    friend bool operator==(const ShellExtensionLists &, const ShellExtensionLists &) = default;
};

// GNOME Shell's own settings (schema org.gnome.shell) for one extension,
// through GSettings in GIO, opened for each call: they are read only while the
// extension is set up. None or false when the schema is missing.
class ShellSettings {
public:
    // Whether the extension is listed in enabled-extensions, not in
    // disabled-extensions, and user extensions are allowed.
    static std::optional<bool> isEnabled(const QString &uuid);
    // Lists it in enabled-extensions, takes it out of disabled-extensions and
    // allows user extensions. A running
    // shell that already knows the extension starts it at once.
    static bool enable(const QString &uuid);
};

} // namespace nudgewatch
