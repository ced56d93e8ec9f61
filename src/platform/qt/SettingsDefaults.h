#pragma once

#include "core/UserDefaults.h"

#include <QSettings>

#include <memory>

namespace nudgewatch {

// User defaults in an INI file under the XDG config directory
// (~/.config/Nudgewatch/Nudgewatch.conf). Every write is synced at once and
// written atomically, so a crash loses nothing and never leaves half a file.
class SettingsDefaults final : public UserDefaults {
public:
    SettingsDefaults(); // the user's file
    explicit SettingsDefaults(const QString &filePath);

    std::optional<QStringList> stringList(const QString &key) const override;
    double doubleValue(const QString &key) const override;
    bool setStringList(const QString &key, const QStringList &value) override;
    bool setDouble(const QString &key, double value) override;

    QString location() const override { return m_filePath; }
    bool isDamaged() const override { return m_damaged; }
    QString damageReason() const override { return m_damageReason; }
    // Renames the file to "<name>.damaged" (".damaged.2", ".damaged.3", ... when
    // that is taken) and writes a fresh one with every value that was read.
    QString setAsideDamaged() override;

private:
    void open();
    bool write(const QString &key, const QVariant &value);
    QVariant stored(const QString &key) const; // null when nothing could be read
    // Whether the file already holds exactly this value under the key.
    bool holds(const QString &key, const QVariant &value) const;

    QString m_filePath;
    // Null when the path holds something that is not a file to read.
    mutable std::unique_ptr<QSettings> m_settings;
    // A file that exists but cannot be read or parsed is never written over.
    bool m_damaged = false;
    QString m_damageReason;
    bool m_textIsNotUtf8 = false;
};

} // namespace nudgewatch
