#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

struct _GSettings;
struct _GSettingsSchema;

namespace nudgewatch {

// One installed GSettings schema, read through GIO. Reads answer none for a
// key the schema lacks or holds in another type, because GSettings ends the
// process on a key it does not know. Changes to the keys read at least once
// arrive through Qt's GLib event loop as `changed`.
class SettingsSchema final : public QObject {
    Q_OBJECT
public:
    // None when the schema is not installed.
    static std::unique_ptr<SettingsSchema> open(const char *schemaId, QObject *parent = nullptr);
    ~SettingsSchema() override;

    std::optional<QString> string(const char *key) const;
    std::optional<bool> boolean(const char *key) const;
    std::optional<double> number(const char *key) const;

signals:
    void changed(const QString &key);

private:
    SettingsSchema(_GSettingsSchema *schema, QObject *parent);
    bool holds(const char *key, const char *type) const;

    _GSettingsSchema *m_schema;
    _GSettings *m_settings;
    unsigned long m_handler = 0;
};

} // namespace nudgewatch
