#include "platform/linux/IconThemeCache.h"

#include <QFile>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nudgewatch {

namespace {

constexpr quint32 none = 0xffffffffu;
// hicolor's and Adwaita's caches are well under a megabyte.
constexpr qint64 largestCache = 64 << 20;
constexpr qsizetype headerSize = 12;

// GTK's hash of an icon name: over its bytes as signed chars.
quint32 nameHash(QByteArrayView name)
{
    quint32 hash = 0;
    for (const char c : name)
        hash = (hash << 5) - hash + quint32(qint32(static_cast<signed char>(c)));
    return hash;
}

} // namespace

IconThemeCache::IconThemeCache(const void *map, qsizetype size)
    : m_map(map), m_bytes(static_cast<const char *>(map), size)
{
}

IconThemeCache::~IconThemeCache()
{
    ::munmap(const_cast<void *>(m_map), size_t(m_bytes.size()));
}

std::unique_ptr<IconThemeCache> IconThemeCache::open(const QString &folder)
{
    const QByteArray folderPath = QFile::encodeName(folder);
    const QByteArray path = folderPath + "/icon-theme.cache";
    struct stat folderStatus {};
    if (::stat(folderPath.constData(), &folderStatus) != 0)
        return nullptr;
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat status {};
    void *map = MAP_FAILED;
    // A cache older than its folder misses what was installed since.
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size >= headerSize &&
        status.st_size <= largestCache && status.st_mtime >= folderStatus.st_mtime)
        map = ::mmap(nullptr, size_t(status.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED)
        return nullptr;
    std::unique_ptr<IconThemeCache> cache(new IconThemeCache(map, qsizetype(status.st_size)));
    return cache->readHeader() ? std::move(cache) : nullptr;
}

std::optional<quint32> IconThemeCache::number32(quint64 offset) const
{
    if (offset > quint64(m_bytes.size()) || quint64(m_bytes.size()) - offset < 4)
        return std::nullopt;
    const auto *p = reinterpret_cast<const uchar *>(m_bytes.data() + offset);
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

std::optional<quint16> IconThemeCache::number16(quint64 offset) const
{
    if (offset > quint64(m_bytes.size()) || quint64(m_bytes.size()) - offset < 2)
        return std::nullopt;
    const auto *p = reinterpret_cast<const uchar *>(m_bytes.data() + offset);
    return quint16(p[0] << 8 | p[1]);
}

QByteArrayView IconThemeCache::text(quint64 offset) const
{
    if (offset >= quint64(m_bytes.size()))
        return {};
    const QByteArrayView rest = m_bytes.sliced(qsizetype(offset));
    const qsizetype end = rest.indexOf('\0');
    return end < 0 ? QByteArrayView() : rest.first(end);
}

bool IconThemeCache::readHeader()
{
    // Version 1.x: the layout below has not changed since the format began.
    if (number16(0) != 1)
        return false;
    m_hashOffset = *number32(4);
    m_folderListOffset = *number32(8);
    const auto buckets = number32(m_hashOffset);
    const auto folders = number32(m_folderListOffset);
    if (!buckets || !folders || *buckets == 0)
        return false;
    m_buckets = *buckets;
    m_folders = *folders;
    // Both tables lie wholly inside the file.
    return number32(m_hashOffset + 4 * quint64(m_buckets)).has_value() &&
           (m_folders == 0 || number32(m_folderListOffset + 4 * quint64(m_folders)).has_value());
}

QList<IconThemeCache::Location> IconThemeCache::find(const QString &name) const
{
    const QByteArray wanted = name.toUtf8();
    QList<Location> found;
    auto icon = number32(m_hashOffset + 4 + 4 * quint64(nameHash(wanted) % m_buckets));
    // Each icon record is 12 bytes: a chain longer than the file could hold loops.
    for (qsizetype steps = m_bytes.size() / 12; icon && *icon != none && steps > 0; --steps) {
        const auto next = number32(*icon);
        const auto nameOffset = number32(*icon + 4);
        const auto imagesOffset = number32(*icon + 8);
        if (!next || !nameOffset || !imagesOffset)
            return {};
        if (text(*nameOffset) == wanted) {
            const quint32 images = number32(*imagesOffset).value_or(0);
            for (quint64 i = 0; i < images; ++i) {
                const quint64 image = *imagesOffset + 4 + 8 * i;
                const auto folder = number16(image);
                const auto flags = number16(image + 2);
                if (!folder || !flags)
                    break;
                if (*folder >= m_folders)
                    continue;
                const QByteArrayView subfolder =
                    text(number32(m_folderListOffset + 4 + 4 * quint64(*folder)).value_or(none));
                const unsigned suffixes = *flags & (Png | Svg | Xpm);
                if (!subfolder.isEmpty() && suffixes != 0)
                    found.append({QString::fromUtf8(subfolder), suffixes});
            }
            return found;
        }
        icon = next;
    }
    return found;
}

} // namespace nudgewatch
