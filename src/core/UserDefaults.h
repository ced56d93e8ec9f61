#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace nudgewatch {

// Per-user values kept across runs.
class UserDefaults {
public:
    virtual ~UserDefaults() = default;
    // None when the key is absent or does not hold a list of strings.
    virtual std::optional<QStringList> stringList(const QString &key) const = 0;
    // 0 when the key is absent or its value is not a number.
    virtual double doubleValue(const QString &key) const = 0;
    // Both return false when the value could not be stored durably.
    virtual bool setStringList(const QString &key, const QStringList &value) = 0;
    virtual bool setDouble(const QString &key, double value) = 0;

    // Where the values are kept, as the user would look for it; empty when
    // there is no such place.
    virtual QString location() const { return {}; }
    // True when the stored values could not all be read. Such a store is never
    // written over, so every write fails until it is set aside.
    virtual bool isDamaged() const { return false; }
    // What is wrong with a damaged store and where, for the user; may be empty.
    virtual QString damageReason() const { return {}; }
    // Keeps the damaged store where the user can find it and starts a fresh one
    // holding every value that could be read. Returns where the damaged store
    // now is; empty when nothing was set aside.
    virtual QString setAsideDamaged() { return {}; }
};

} // namespace nudgewatch
