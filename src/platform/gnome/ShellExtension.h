#pragma once

#include "core/FrontmostApplicationTracker.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace nudgewatch::shellExtension {

// The program's GNOME Shell extension: what it is called, where it answers,
// and which of its two forms a shell loads.
inline const QString uuid = QStringLiteral("nudgewatch@nudgewatch.github.io");
inline const QString busName = QStringLiteral("io.github.nudgewatch.Focus");
inline const QString objectPath = QStringLiteral("/io/github/nudgewatch/Focus");
inline const QString interfaceName = QStringLiteral("io.github.nudgewatch.Focus");
// Raised with every change to the extension's files; an installed extension
// of a lower version is replaced.
constexpr int version = 4;

// Shells 40-44 load scripts with init(); 45 and later load ES modules.
enum class Format { Legacy, Modules };

// A text of the GNOME wing in the user's language.
QString shellText(const char *text);
// The major version in "43.9", "45.rc" or "GNOME Shell 46.2"; none when there is none.
std::optional<int> majorVersion(QStringView shellVersion);
// None for shells older than 40, which the extension does not support.
std::optional<Format> formatFor(int shellMajor);
// The extension's script in the program's resources.
QString scriptResource(Format format);
// metadata.json for the shell; it lists the running shell's version too, so
// a newer shell than those known here loads the module form.
QByteArray metadataFor(Format format, int shellMajor);

// What an installed metadata.json says, when it is the program's extension.
struct Installed {
    int version = 0;
    QList<int> shellVersions;
    friend bool operator==(const Installed &, const Installed &) = default;
};
std::optional<Installed> parseMetadata(const QByteArray &json);
// Whether the installed files are older than the program's, or made for
// another shell than the running one.
bool needsUpdate(const Installed &installed, std::optional<int> shellMajor);

// What the program knows about the extension when it decides what to tell.
struct Facts {
    bool answering = false;
    bool waiting = false; // the extension is asked and has not answered yet
    enum class Folder { Missing, Ours, Foreign } folder = Folder::Missing;
    bool enabled = false;        // in enabled-extensions, user extensions allowed
    bool changedThisRun = false; // installed or updated since the program started
    bool supportedShell = true;  // false for a shell older than 40
    QString setupError;          // why the last setup failed
    QString obstacle;            // what stands at the extension's place when Foreign
};
TrackerStatus statusFor(const Facts &facts);

} // namespace nudgewatch::shellExtension
