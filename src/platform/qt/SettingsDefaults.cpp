#include "platform/qt/SettingsDefaults.h"

#include "platform/freedesktop/RegularFile.h"
#include "platform/qt/SettingsFileCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace nudgewatch {

SettingsDefaults::SettingsDefaults()
    : SettingsDefaults(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                       QStringLiteral("/Nudgewatch/Nudgewatch.conf"))
{
}

SettingsDefaults::SettingsDefaults(const QString &filePath) : m_filePath(filePath)
{
    open();
}

namespace {
// Far beyond what the program ever writes; a larger file is not the program's.
constexpr qint64 largestSettingsFile = 16 << 20;

bool misread(const QString &text)
{
    return text.contains(QChar::ReplacementCharacter);
}

// Drops the misread items of a list; false when the value as a whole is misread.
bool withoutMisreadText(QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return !misread(value.toString());
    case QMetaType::QStringList: {
        QStringList items = value.toStringList();
        items.removeIf(misread);
        value = items;
        return true;
    }
    case QMetaType::QVariantList: {
        QVariantList items = value.toList();
        items.removeIf([](const QVariant &item) { return misread(item.toString()); });
        value = items;
        return true;
    }
    default:
        return !misread(value.toString());
    }
}
} // namespace

void SettingsDefaults::open()
{
    m_damageReason.clear();
    m_textIsNotUtf8 = false;
    // QSettings opens and reads the file as it is made: a FIFO or a device
    // would block the start for good. Anything at the path but a regular file
    // of sane size is damaged, never opened, and left for setAsideDamaged().
    if (QFileInfo::exists(m_filePath)) {
        const std::optional<QByteArray> content = readRegularFile(m_filePath, largestSettingsFile);
        if (!content) {
            m_settings.reset();
            m_damaged = true;
            m_damageReason = QStringLiteral("it is not a regular file of at most 16 MiB");
            return;
        }
        if (const auto problem = settingsFileProblem(*content)) {
            m_damageReason = problem->description;
            m_textIsNotUtf8 = problem->textIsNotUtf8;
        }
    }
    m_settings = std::make_unique<QSettings>(m_filePath, QSettings::IniFormat);
    // The file is parsed on first access; status() tells only afterwards.
    m_settings->allKeys();
    if (m_damageReason.isEmpty() && m_settings->status() != QSettings::NoError)
        m_damageReason = QStringLiteral("it is not in the settings format");
    m_damaged = !m_damageReason.isEmpty();
}

QString SettingsDefaults::setAsideDamaged()
{
    if (!m_damaged)
        return {};
    QList<std::pair<QString, QVariant>> readable;
    for (const QString &key : m_settings ? m_settings->allKeys() : QStringList()) {
        QVariant value = m_settings->value(key);
        // Text read from bytes that were not UTF-8 names another path than the
        // file did: such text is left out, the rest of a list kept. The kept
        // copy has the original.
        if (m_textIsNotUtf8 && !withoutMisreadText(value))
            continue;
        readable.append({key, value});
    }

    // An earlier damaged file is never replaced: it may hold what this one lost.
    QString kept = m_filePath + QStringLiteral(".damaged");
    for (int n = 2; QFile::exists(kept) && n <= 1000; ++n)
        kept = m_filePath + QStringLiteral(".damaged.%1").arg(n);
    if (QFile::exists(kept) || !QFile::rename(m_filePath, kept))
        return {};

    open();
    if (m_damaged)
        return {}; // something else now stands at the path: leave it alone
    for (const auto &[key, value] : readable)
        m_settings->setValue(key, value);
    m_settings->sync();
    return kept;
}

QVariant SettingsDefaults::stored(const QString &key) const
{
    return m_settings ? m_settings->value(key) : QVariant();
}

std::optional<QStringList> SettingsDefaults::stringList(const QString &key) const
{
    const QVariant value = stored(key);
    switch (value.metaType().id()) {
    case QMetaType::QStringList:
        return value.toStringList();
    case QMetaType::QString:
        // The INI format writes a one-element list as a plain string.
        return QStringList{value.toString()};
    case QMetaType::QVariantList: {
        QStringList strings;
        for (const QVariant &item : value.toList()) {
            if (item.metaType().id() != QMetaType::QString)
                return std::nullopt;
            strings.append(item.toString());
        }
        return strings;
    }
    default:
        return std::nullopt;
    }
}

double SettingsDefaults::doubleValue(const QString &key) const
{
    const QVariant value = stored(key);
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? number : 0.0;
}

bool SettingsDefaults::setStringList(const QString &key, const QStringList &value)
{
    return write(key, value);
}

bool SettingsDefaults::setDouble(const QString &key, double value)
{
    return write(key, value);
}

bool SettingsDefaults::holds(const QString &key, const QVariant &value) const
{
    if (!m_settings->contains(key))
        return false;
    if (value.metaType().id() == QMetaType::Double) {
        bool ok = false;
        const double stored = m_settings->value(key).toDouble(&ok);
        return ok && stored == value.toDouble();
    }
    return stringList(key) == std::optional<QStringList>(value.toStringList());
}

bool SettingsDefaults::write(const QString &key, const QVariant &value)
{
    // Rewriting a file QSettings could not fully parse would drop the lines it
    // skipped; the user's file is left alone and the write reported as failed.
    if (m_damaged)
        return false;
    // The file already holds the value (the threshold written back at every
    // start): rewriting it would cost a locked, synced rewrite of the file.
    if (holds(key, value))
        return true;
    // QSettings keeps a value it could not write in memory and would report it
    // from then on; a failed write is undone so reads keep matching the file.
    const QVariant previous = m_settings->value(key);
    const bool existed = m_settings->contains(key);
    m_settings->setValue(key, value);
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError)
        return true;
    if (existed)
        m_settings->setValue(key, previous);
    else
        m_settings->remove(key);
    return false;
}

} // namespace nudgewatch
