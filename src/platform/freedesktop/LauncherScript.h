#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>

namespace nudgewatch {

// The programs a launcher script hands over to with `exec`, in the order the
// script names them: Debian's alternatives for "the preferred" terminal or
// browser end in such wrappers (xfce4-terminal.wrapper ends in
// `exec('xfce4-terminal', @args)`, sensible-browser in `exec x-www-browser`).
// Only literal names count; a program in a variable is not guessed. Read by
// hand: no library says what a script would run without running it.
QStringList execTargets(QByteArrayView script);

// The program a program stands for: itself when `isApplication` says so, else
// the first exec target of it, as a script (at most a few KiB, two levels deep),
// that `findProgram` finds and that stands for an application. Empty when none.
QString applicationProgram(const QString &canonicalProgram,
                           const std::function<bool(const QString &)> &isApplication,
                           const std::function<QString(const QString &)> &findProgram,
                           int depth = 0);
// Wrappers are followed this deep.
constexpr int deepestWrapper = 2;

} // namespace nudgewatch
