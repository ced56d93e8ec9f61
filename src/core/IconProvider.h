#pragma once

#include <QImage>
#include <QObject>
#include <QString>

namespace nudgewatch {

// Icons of application entries.
class IconProvider : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~IconProvider() override = default;

    // A 48 x 48 point icon for the entry at `path`; never a null image.
    virtual QImage iconForFile(const QString &path) const = 0;

signals:
    // Icons handed out before may look different now (e.g. the icon theme has
    // become available): ask again.
    void iconsChanged();
};

} // namespace nudgewatch
