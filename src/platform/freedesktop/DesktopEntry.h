#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace nudgewatch {

// What the program needs to know of one desktop entry.
struct DesktopEntry {
    QString desktopId;     // "org.example.Tool.desktop", vendor folders joined with '-'
    QString path;          // absolute path of the file
    QString localizedName; // Name[<locale>], else Name, else the file name without .desktop
    QString startupWMClass;
    QString icon;    // Icon[<locale>], else Icon
    QString comment; // Comment[<locale>], else Comment
    // Canonical paths of the TryExec and Exec programs that could be found.
    QStringList programs;
    // Whether menus list it, as GIO decides: not NoDisplay, meant for the
    // current desktop (OnlyShowIn/NotShowIn against XDG_CURRENT_DESKTOP).
    bool shownInMenus = false;
    QString name = {}; // Name itself; empty when the entry has none
    QString exec = {}; // the Exec line as written
    bool noDisplay = false;
    // Categories has Settings: a settings dialog, often one that shares its
    // program with the application it configures.
    bool settings = false;
};

// The longest name or comment ever shown. Text is cut to it where it is read,
// so no layout ever measures the megabytes an entry may hold.
constexpr qsizetype longestShownText = 256;

inline QString cutToShown(QString text)
{
    if (text.size() > longestShownText) {
        text.truncate(longestShownText);
        if (text.back().isHighSurrogate())
            text.chop(1);
    }
    return text;
}

} // namespace nudgewatch
