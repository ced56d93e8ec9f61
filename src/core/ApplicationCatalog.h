#pragma once

#include <QList>
#include <QObject>
#include <QString>

namespace nudgewatch {

// An application the desktop offers in its menus.
struct InstalledApplication {
    QString desktopId; // e.g. "org.gnome.TextEditor.desktop"
    QString name;      // localized display name
    QString path;      // absolute path of the effective desktop entry: its "bundle path"
    QString comment;   // localized one-line description, may be empty
};

// The installed applications, kept current as entries are installed or removed.
class ApplicationCatalog : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ApplicationCatalog() override = default;

    // Shown entries only, sorted by name (case-insensitively).
    virtual QList<InstalledApplication> installedApplications() const = 0;

signals:
    void changed();
};

} // namespace nudgewatch
