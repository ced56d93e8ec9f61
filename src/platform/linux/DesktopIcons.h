#pragma once

#include "core/IconProvider.h"
#include "platform/linux/IconLookup.h"

#include <QIcon>
#include <QImage>

#include <functional>

namespace nudgewatch {

// Icons of desktop entries: the entry's Icon= as an absolute file or a name in
// the desktop's icon theme (then hicolor, then the pixmap folders), rendered at
// 48 x 48 points for the primary screen's pixel ratio. The program's generic
// application icon stands in when nothing loads, so the result is never null.
class DesktopIcons final : public IconProvider {
    Q_OBJECT
public:
    static constexpr int pointSize = 48;

    // Installs the lookup's theme and search paths into Qt's icon loader.
    explicit DesktopIcons(const IconLookup &lookup, std::function<qreal()> devicePixelRatio = {},
                          QObject *parent = nullptr);

    QImage iconForFile(const QString &path) const override;
    // The icon an Icon= value names; null when nothing resolves.
    QIcon iconForName(const QString &iconValue) const;
    QImage genericIcon() const;

    // Reading an icon theme's index the first time takes milliseconds (hicolor
    // alone lists hundreds of folders). While deferred, names resolve through
    // absolute paths and the pixmap folders only; ending the deferral announces
    // iconsChanged().
    void setThemeDeferred(bool deferred);

private:
    QImage render(const QIcon &icon) const;
    QImage canvas() const;
    qreal ratio() const;

    QStringList m_pixmapDirs;
    std::function<qreal()> m_devicePixelRatio;
    bool m_themeDeferred = false;
    // Drawn once per pixel ratio: every entry without an icon shares it.
    mutable QImage m_generic;
};

} // namespace nudgewatch
