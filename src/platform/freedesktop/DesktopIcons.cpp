#include "platform/freedesktop/DesktopIcons.h"

#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/freedesktop/KeyFile.h"
#include "platform/freedesktop/RegularFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <glib.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace nudgewatch {

namespace {

const QString genericIconResource = QStringLiteral(":/icons/application-generic.svg");
// What Qt's theme loader searches while it may read no icon folder: one that
// does not exist (an empty list would bring back its defaults).
const QString noIconFolder = QStringLiteral(":/nudgewatch/no-icon-themes");
// Theme icons are a few kilobytes; photographs as icons rarely pass a megabyte.
constexpr qint64 largestIconFile = 4 << 20;
constexpr int largestIconSide = 4096;

// Whether an SVG names other files (an <image> or <use> elsewhere): QtSvg
// would open them itself, unchecked. References within the drawing ("#id")
// and inline data ("data:") are all an icon needs; a drawing that does not
// parse as XML is not trusted either.
bool referencesOtherFiles(const QByteArray &svg)
{
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        xml.readNext();
        for (const QXmlStreamAttribute &attribute : xml.attributes()) {
            const QStringView target = attribute.value().trimmed();
            if (attribute.name() == u"href" && !target.startsWith(u'#') &&
                !target.startsWith(u"data:"))
                return true;
        }
    }
    return xml.hasError();
}

QStringList mergedPaths(QStringList paths, const QStringList &more)
{
    for (const QString &path : more)
        if (!paths.contains(path))
            paths.append(path);
    return paths;
}

// The string at `group`/`key` of the theme index; `fallback` when absent.
QString themeValue(GKeyFile *index, const QString &group, const char *key,
                   const QString &fallback = {})
{
    gchar *value = g_key_file_get_string(index, group.toUtf8().constData(), key, nullptr);
    return value == nullptr ? fallback : takeGString(value).trimmed();
}

} // namespace

DesktopIcons::DesktopIcons(const DesktopEntryRegistry &entries, const IconLookup &lookup,
                           std::function<qreal()> devicePixelRatio, QObject *parent)
    : IconProvider(parent), m_entries(entries),
      m_searchPaths(mergedPaths(QIcon::themeSearchPaths(), lookup.themeSearchPaths)),
      m_pixmapDirs(lookup.pixmapDirs), m_devicePixelRatio(std::move(devicePixelRatio))
{
    // A theme the Qt platform integration already took from the desktop wins.
    m_themeName = QIcon::themeName();
    if (!lookup.themeName.isEmpty() &&
        (m_themeName.isEmpty() || m_themeName == QLatin1String("hicolor")))
        m_themeName = lookup.themeName;
    QIcon::setThemeSearchPaths({noIconFolder});
}

void DesktopIcons::handSoundFoldersToQt() const
{
    // Qt 6.4's own theme loader follows an icon-theme.cache's hash chain without
    // end when the chain loops, so one damaged cache in a folder it reads hangs
    // whatever asks it (a line edit's clear button, a style, a file dialog). It
    // reads the caches of the theme's chain under each search path: a search
    // path is handed over when every one of those is sound.
    const QStringList chain = themeChain();
    QStringList sound;
    for (const QString &base : m_searchPaths)
        if (std::ranges::all_of(chain, [&base](const QString &name) {
                return IconThemeCache::isSound(base + QLatin1Char('/') + name);
            }))
            sound.append(base);
    QIcon::setThemeSearchPaths(sound.isEmpty() ? QStringList{noIconFolder} : sound);
    QIcon::setThemeName(m_themeName);
}

void DesktopIcons::setThemeDeferred(bool deferred)
{
    const bool ended = m_themeDeferred && !deferred;
    m_themeDeferred = deferred;
    if (!ended)
        return;
    handSoundFoldersToQt();
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

const DesktopIcons::Theme &DesktopIcons::theme(const QString &name) const
{
    const auto known = m_themes.constFind(name);
    if (known != m_themes.constEnd())
        return *known;
    Theme &theme = m_themes[name];
    // A theme's subfolders are looked for under every search path where its
    // folder exists, index or not: exported icons of sandboxed applications,
    // for one, come without an index.theme of their own.
    QStringList listed;
    for (const QString &base : m_searchPaths) {
        const QString root = base + QLatin1Char('/') + name;
        if (!QFileInfo(root).isDir())
            continue;
        theme.roots.append({root, IconThemeCache::open(root)});
        const KeyFilePtr index = loadKeyFile(root + QStringLiteral("/index.theme"));
        if (!index)
            continue;
        const QString head = QStringLiteral("Icon Theme");
        if (theme.inherits.isEmpty())
            theme.inherits = themeValue(index.get(), head, "Inherits")
                                 .split(QLatin1Char(','), Qt::SkipEmptyParts);
        const QString dirs = themeValue(index.get(), head, "Directories") + QLatin1Char(',') +
                             themeValue(index.get(), head, "ScaledDirectories");
        for (const QString &listedDir : dirs.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QString dir = listedDir.trimmed();
            if (listed.contains(dir))
                continue;
            listed.append(dir);
            ThemeDir d;
            d.subfolder = dir;
            const int scale =
                qMax(1, themeValue(index.get(), dir, "Scale", QStringLiteral("1")).toInt());
            const auto number = [&](const char *key, int fallback) {
                bool ok = false;
                const int value = themeValue(index.get(), dir, key).toInt(&ok);
                return (ok ? value : fallback) * scale;
            };
            d.size = number("Size", 0);
            const QString type = themeValue(index.get(), dir, "Type", QStringLiteral("Threshold"));
            const int threshold = number("Threshold", 2);
            d.minSize = type == QLatin1String("Scalable") ? number("MinSize", d.size / scale)
                        : type == QLatin1String("Fixed")  ? d.size
                                                          : d.size - threshold;
            d.maxSize = type == QLatin1String("Scalable") ? number("MaxSize", d.size / scale)
                        : type == QLatin1String("Fixed")  ? d.size
                                                          : d.size + threshold;
            if (d.size > 0)
                theme.dirs.append(d);
        }
    }
    return theme;
}

QStringList DesktopIcons::themeChain() const
{
    QStringList chain{m_themeName};
    for (qsizetype i = 0; i < chain.size() && i < 32; ++i)
        for (const QString &parent : theme(chain[i]).inherits)
            if (!chain.contains(parent.trimmed()))
                chain.append(parent.trimmed());
    chain.removeAll(QStringLiteral("hicolor"));
    chain.append(QStringLiteral("hicolor"));
    return chain;
}

QString DesktopIcons::themeFile(const QString &name) const
{
    // In each theme of the chain the folder whose size fits best, and only a
    // file that is a regular file of sane size.
    const int wanted = int(std::ceil(pointSize * ratio()));
    const std::pair<const char *, unsigned> suffixes[] = {{".png", IconThemeCache::Png},
                                                          {".svg", IconThemeCache::Svg},
                                                          {".xpm", IconThemeCache::Xpm}};
    for (const QString &themeName : themeChain()) {
        const Theme &current = theme(themeName);
        // Where each indexed folder has the icon; unindexed folders are asked file by file.
        QList<QHash<QString, unsigned>> indexed(current.roots.size());
        for (qsizetype r = 0; r < current.roots.size(); ++r)
            if (current.roots[r].cache)
                for (const auto &location : current.roots[r].cache->find(name))
                    indexed[r][location.subfolder] |= location.suffixes;
        QList<ThemeDir> dirs = current.dirs;
        const auto distance = [wanted](const ThemeDir &d) {
            return wanted < d.minSize   ? d.minSize - wanted
                   : wanted > d.maxSize ? wanted - d.maxSize
                                        : 0;
        };
        std::stable_sort(dirs.begin(), dirs.end(), [&](const ThemeDir &a, const ThemeDir &b) {
            return distance(a) < distance(b);
        });
        for (const ThemeDir &dir : dirs)
            for (qsizetype r = 0; r < current.roots.size(); ++r) {
                const bool hasIndex = current.roots[r].cache != nullptr;
                const unsigned held = indexed[r].value(dir.subfolder);
                if (hasIndex && held == 0)
                    continue;
                for (const auto &[suffix, flag] : suffixes) {
                    if (hasIndex && (held & flag) == 0)
                        continue;
                    const QString file = current.roots[r].path + QLatin1Char('/') + dir.subfolder +
                                         QLatin1Char('/') + name + QLatin1String(suffix);
                    if (isReadableRegularFile(file, largestIconFile))
                        return file;
                }
            }
    }
    return {};
}

QImage DesktopIcons::renderFile(const QString &path) const
{
    const std::optional<QByteArray> bytes = readRegularFile(path, largestIconFile);
    if (!bytes)
        return {};
    QBuffer buffer;
    buffer.setData(*bytes);
    // A file named for its format is read by that decoder alone: probing every
    // image plugin would load them all, and keep them loaded, for one icon. A
    // file whose content does not match its name is not read at all.
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    static const QByteArrayList iconFormats{"png",  "svg", "xpm", "jpg",
                                            "jpeg", "gif", "bmp", "ico"};
    const bool named = iconFormats.contains(suffix);
    QImageReader reader(&buffer, named ? suffix : QByteArray());
    reader.setAutoDetectImageFormat(!named);
    const QByteArray format = named ? suffix : reader.format();
    QImage image = canvas();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    // Small icons are scaled up, odd shapes centred, so every icon fills 48 x 48.
    const auto target = [](QSizeF size) {
        size.scale(pointSize, pointSize, Qt::KeepAspectRatio);
        return QRectF((pointSize - size.width()) / 2, (pointSize - size.height()) / 2, size.width(),
                      size.height());
    };
    if (format == "svg") {
        // Rendered from the bytes read here; a compressed one cannot be checked.
        if (bytes->startsWith("\x1f\x8b") || referencesOtherFiles(*bytes))
            return {};
        QSvgRenderer svg(*bytes);
        if (!svg.isValid() || svg.defaultSize().isEmpty())
            return {};
        svg.render(&painter, target(svg.defaultSize()));
        return image;
    }
    const QSize size = reader.size();
    if (format.isEmpty() || format == "svgz" || size.width() > largestIconSide ||
        size.height() > largestIconSide)
        return {};
    const QImage decoded = reader.read();
    if (decoded.isNull())
        return {};
    painter.drawImage(target(decoded.size()), decoded);
    return image;
}

QImage DesktopIcons::imageForName(const QString &iconValue) const
{
    if (iconValue.isEmpty())
        return {};
    if (iconValue.startsWith(QLatin1Char('/')))
        return renderFile(iconValue);
    // Some entries name their icon with a file extension; themes never do.
    QString themeName = iconValue;
    for (const char *suffix : {".png", ".svg", ".xpm"})
        if (themeName.endsWith(QLatin1String(suffix)))
            themeName.chop(4);
    if (!m_themeDeferred && !themeName.contains(QLatin1Char('/'))) {
        const QImage themed = renderFile(themeFile(themeName));
        if (!themed.isNull())
            return themed;
    }
    for (const QString &dir : m_pixmapDirs) {
        for (const QString &name :
             {iconValue, themeName + QStringLiteral(".png"), themeName + QStringLiteral(".svg"),
              themeName + QStringLiteral(".xpm")}) {
            const QImage image = renderFile(dir + QLatin1Char('/') + name);
            if (!image.isNull())
                return image;
        }
    }
    return {};
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
    const std::optional<DesktopEntry> entry = m_entries.entryAt(path);
    const QImage image = entry ? imageForName(entry->icon) : QImage();
    return image.isNull() ? genericIcon() : image;
}

} // namespace nudgewatch
