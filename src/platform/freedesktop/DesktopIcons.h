#pragma once

#include "core/IconProvider.h"
#include "platform/freedesktop/IconLookup.h"
#include "platform/freedesktop/IconThemeCache.h"

#include <QHash>
#include <QIcon>
#include <QImage>

#include <functional>
#include <memory>

namespace nudgewatch {

class DesktopEntryRegistry;

// Icons of desktop entries: the entry's Icon= as an absolute file or a name in
// the desktop's icon theme (then hicolor, then the pixmap folders), rendered at
// 48 x 48 points for the primary screen's pixel ratio. The program's generic
// application icon stands in when nothing loads, so the result is never null.
// Theme files are looked up here, not by QIcon, and every file is read through
// readRegularFile and decoded from memory: an icon never makes the program open
// a FIFO or a device, and an SVG that names other files is not drawn. Qt's own
// theme loader (the toolkit's icons: a file dialog's, a clear button's) gets
// the theme and the search paths whose caches the program's reader found sound.
class DesktopIcons final : public IconProvider {
    Q_OBJECT
public:
    static constexpr int pointSize = 48;

    // Takes the entries' Icon= from the registry, the lookup's theme and search
    // paths; the theme starts deferred.
    DesktopIcons(const DesktopEntryRegistry &entries, const IconLookup &lookup,
                 std::function<qreal()> devicePixelRatio = {}, QObject *parent = nullptr);

    QImage iconForFile(const QString &path) const override;
    QImage genericIcon() const;

    // Reading an icon theme's index the first time takes milliseconds (hicolor
    // alone lists hundreds of folders). While deferred, names resolve through
    // absolute paths and the pixmap folders only, and Qt's theme loader reads
    // no icon folder; ending the deferral hands Qt the sound search paths and
    // announces iconsChanged().
    void setThemeDeferred(bool deferred);

private:
    // A subfolder of an icon theme and the pixel sizes its icons serve.
    struct ThemeDir {
        QString subfolder;
        int size = 0, minSize = 0, maxSize = 0;
    };
    // The theme's folder under one of the search paths, with GTK's index of it
    // where there is a current one.
    struct ThemeRoot {
        QString path;
        std::shared_ptr<const IconThemeCache> cache;
    };
    struct Theme {
        QList<ThemeRoot> roots;
        QList<ThemeDir> dirs;
        QStringList inherits;
    };

    // The icon an Icon= value names; null when nothing resolves.
    QImage imageForName(const QString &iconValue) const;
    // The theme, what it inherits, hicolor last.
    QStringList themeChain() const;
    // The theme's file for the icon name that best fits the wanted size.
    QString themeFile(const QString &name) const;
    void handSoundFoldersToQt() const;
    const Theme &theme(const QString &name) const; // its index, read once
    // The image file drawn on the canvas; null when it is no file or does not decode.
    QImage renderFile(const QString &path) const;
    QImage canvas() const;
    qreal ratio() const;

    const DesktopEntryRegistry &m_entries;
    QString m_themeName;
    QStringList m_searchPaths;
    QStringList m_pixmapDirs;
    std::function<qreal()> m_devicePixelRatio;
    bool m_themeDeferred = true;
    // Drawn once per pixel ratio: every entry without an icon shares it.
    mutable QImage m_generic;
    mutable QHash<QString, Theme> m_themes;
};

} // namespace nudgewatch
