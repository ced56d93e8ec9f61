#include "platform/linux/DesktopIcons.h"

#include "platform/linux/KeyFile.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>

#include <glib.h>

#include <cmath>
#include <memory>

namespace nudgewatch {

namespace {

const QString genericIconResource = QStringLiteral(":/icons/application-generic.svg");

QString entryIconValue(const QString &path)
{
    if (!path.endsWith(QLatin1String(".desktop")))
        return {};
    const KeyFilePtr file = loadKeyFile(path);
    if (!file)
        return {};
    return takeGString(g_key_file_get_locale_string(file.get(), G_KEY_FILE_DESKTOP_GROUP,
                                                    G_KEY_FILE_DESKTOP_KEY_ICON, nullptr, nullptr))
        .trimmed();
}

// An icon from a file only when the file really decodes: QIcon accepts any path.
QIcon iconFromFile(const QString &file)
{
    if (!QFileInfo(file).isFile() || !QImageReader(file).canRead())
        return {};
    return QIcon(file);
}

QStringList mergedPaths(QStringList paths, const QStringList &more)
{
    for (const QString &path : more)
        if (!paths.contains(path))
            paths.append(path);
    return paths;
}

} // namespace

DesktopIcons::DesktopIcons(const IconLookup &lookup, std::function<qreal()> devicePixelRatio,
                           QObject *parent)
    : IconProvider(parent), m_pixmapDirs(lookup.pixmapDirs),
      m_devicePixelRatio(std::move(devicePixelRatio))
{
    QIcon::setThemeSearchPaths(mergedPaths(QIcon::themeSearchPaths(), lookup.themeSearchPaths));
    // A theme the Qt platform integration already took from the desktop wins.
    const QString current = QIcon::themeName();
    if (!lookup.themeName.isEmpty() && (current.isEmpty() || current == QLatin1String("hicolor")))
        QIcon::setThemeName(lookup.themeName);
    QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
}

void DesktopIcons::setThemeDeferred(bool deferred)
{
    const bool ended = m_themeDeferred && !deferred;
    m_themeDeferred = deferred;
    if (ended)
        emit iconsChanged();
}

qreal DesktopIcons::ratio() const
{
    qreal value = 1.0;
    if (m_devicePixelRatio)
        value = m_devicePixelRatio();
    else if (const QScreen *screen = QGuiApplication::primaryScreen())
        value = screen->devicePixelRatio();
    return std::isfinite(value) && value >= 1.0 && value <= 8.0 ? value : 1.0;
}

QImage DesktopIcons::canvas() const
{
    const qreal dpr = ratio();
    const int side = int(std::ceil(pointSize * dpr));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(dpr);
    return image;
}

QIcon DesktopIcons::iconForName(const QString &iconValue) const
{
    if (iconValue.isEmpty())
        return {};
    if (iconValue.startsWith(QLatin1Char('/')))
        return iconFromFile(iconValue);
    // Some entries name their icon with a file extension; themes never do.
    QString themeName = iconValue;
    for (const char *suffix : {".png", ".svg", ".xpm"})
        if (themeName.endsWith(QLatin1String(suffix)))
            themeName.chop(4);
    if (!m_themeDeferred && !themeName.contains(QLatin1Char('/'))) {
        const QIcon themed = QIcon::fromTheme(themeName);
        if (!themed.isNull())
            return themed;
    }
    for (const QString &dir : m_pixmapDirs) {
        for (const QString &name :
             {iconValue, themeName + QStringLiteral(".png"), themeName + QStringLiteral(".svg"),
              themeName + QStringLiteral(".xpm")}) {
            const QIcon icon = iconFromFile(dir + QLatin1Char('/') + name);
            if (!icon.isNull())
                return icon;
        }
    }
    return {};
}

QImage DesktopIcons::render(const QIcon &icon) const
{
    if (icon.isNull())
        return {};
    const qreal dpr = ratio();
    const QPixmap pixmap = icon.pixmap(QSize(pointSize, pointSize), dpr);
    if (pixmap.isNull())
        return {};
    QImage image = canvas();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Small icons are scaled up, odd shapes centred, so every icon fills 48 x 48.
    QSizeF size = QSizeF(pixmap.size()) / pixmap.devicePixelRatio();
    size.scale(pointSize, pointSize, Qt::KeepAspectRatio);
    const QRectF target((pointSize - size.width()) / 2, (pointSize - size.height()) / 2,
                        size.width(), size.height());
    painter.drawPixmap(target, pixmap, QRectF(pixmap.rect()));
    return image;
}

QImage DesktopIcons::genericIcon() const
{
    if (!m_generic.isNull() && m_generic.devicePixelRatio() == ratio())
        return m_generic;
    QImage image = canvas();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QSvgRenderer(genericIconResource).render(&painter, QRectF(0, 0, pointSize, pointSize));
    painter.end();
    m_generic = image;
    return image;
}

QImage DesktopIcons::iconForFile(const QString &path) const
{
    const QImage image = render(iconForName(entryIconValue(path)));
    return image.isNull() ? genericIcon() : image;
}

} // namespace nudgewatch
