#pragma once

#include <QString>

namespace nudgewatch {

// A well-known bus name ("org.example.Notes"): what an application that is
// started over D-Bus owns.
bool isWellKnownBusName(const QString &name);
// A unique bus name (":1.42"): what the bus daemon gives each connection.
bool isUniqueBusName(const QString &name);
// `value` written as a value in a D-Bus address ("unix:path=<value>").
QString dbusAddressValue(const QString &value);

} // namespace nudgewatch
