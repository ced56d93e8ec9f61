#pragma once

#include "platform/gnome/ShellExtension.h"

#include <QString>

#include <optional>

namespace nudgewatch {

// The program's extension in a user's extensions folder
// (~/.local/share/gnome-shell/extensions). Only a real folder whose
// metadata.json names the program's extension is the program's: anything else
// there (a link, a file, another extension) is left alone.
class ShellExtensionFiles {
public:
    explicit ShellExtensionFiles(QString extensionsFolder);

    // The folder of the user's data home, from XDG_DATA_HOME or HOME.
    static QString userExtensionsFolder();

    QString folder() const { return m_folder + QLatin1Char('/') + shellExtension::uuid; }
    shellExtension::Facts::Folder state() const;
    // What the program's installed metadata says; none unless state() is Ours.
    std::optional<shellExtension::Installed> installed() const;

    // What stands at the extension's place (or at the folders it goes in)
    // that is not the program's to replace, and where; empty when nothing does.
    QString obstacle() const;

    // Writes the files for the shell into a new folder beside the target and
    // puts it in place in one step, replacing an older copy of the program's
    // own. Returns an error message, empty on success; over an obstacle, the
    // obstacle.
    QString install(shellExtension::Format format, int shellMajor) const;

private:
    QString m_folder;
};

} // namespace nudgewatch
