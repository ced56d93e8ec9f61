#include "platform/appearance/FontNames.h"

#include "platform/session/SessionFacts.h"

#include <QStringList>

namespace nudgewatch::fontNames {

namespace {

bool isStyleWord(const QString &word)
{
    static const QStringList words{
        QStringLiteral("bold"),       QStringLiteral("italic"),    QStringLiteral("oblique"),
        QStringLiteral("light"),      QStringLiteral("medium"),    QStringLiteral("semibold"),
        QStringLiteral("semi-bold"),  QStringLiteral("demibold"),  QStringLiteral("heavy"),
        QStringLiteral("regular"),    QStringLiteral("book"),      QStringLiteral("thin"),
        QStringLiteral("ultralight"), QStringLiteral("condensed"), QStringLiteral("normal"),
        QStringLiteral("extrabold"),  QStringLiteral("black")};
    return words.contains(word.toLower());
}

} // namespace

InterfaceFont fromPango(const QString &name)
{
    QString rest = name.trimmed();
    InterfaceFont font;
    // The size is the last word; a comma may stand before it.
    const qsizetype space = rest.lastIndexOf(QChar(u' '));
    const qsizetype comma = rest.lastIndexOf(QChar(','));
    const qsizetype cut = std::max(space, comma);
    if (cut > 0) {
        QString last = rest.mid(cut + 1).trimmed();
        if (last.endsWith(QStringLiteral("px")))
            last.chop(2); // pixel sizes say nothing about the user's point size
        bool ok = false;
        const double size = last.toDouble(&ok);
        if (ok && size > 0) {
            if (!name.trimmed().endsWith(QStringLiteral("px")))
                font.pointSize = size;
            rest = rest.left(cut).trimmed();
            if (rest.endsWith(QChar(',')))
                rest.chop(1);
        }
    }
    QStringList words = rest.split(QChar(' '), Qt::SkipEmptyParts);
    while (words.size() > 1 && isStyleWord(words.last()))
        words.removeLast();
    font.family = words.join(QChar(' '));
    return font;
}

InterfaceFont fromQtString(const QString &text)
{
    const QStringList fields = text.split(QChar(','));
    InterfaceFont font;
    font.family = fields.value(0).trimmed();
    bool ok = false;
    const double size = fields.value(1).toDouble(&ok);
    if (ok && size > 0)
        font.pointSize = size;
    return font;
}

double defaultPointSize(const QString &currentDesktop)
{
    const QStringList desktops = currentDesktop.toUpper().split(QChar(':'), Qt::SkipEmptyParts);
    for (const QString &desktop : desktops) {
        if (desktop == QStringLiteral("GNOME") || desktop == QStringLiteral("UNITY") ||
            desktop == QStringLiteral("PANTHEON") || desktop == QStringLiteral("BUDGIE"))
            return 11;
        if (desktop == QStringLiteral("X-CINNAMON") || desktop == QStringLiteral("CINNAMON"))
            return 9;
    }
    // KDE, Xfce, MATE, LXQt and the GTK default.
    return 10;
}

ColorScheme schemeOfThemeName(const QString &themeName)
{
    return themeName.contains(QStringLiteral("dark"), Qt::CaseInsensitive) ? ColorScheme::Dark
                                                                           : ColorScheme::Light;
}

ColorScheme schemeOf(const AppearanceSources &sources)
{
    if (sources.portalScheme && *sources.portalScheme != 0)
        return *sources.portalScheme == 1 ? ColorScheme::Dark : ColorScheme::Light;
    if (sources.gnomeScheme == QStringLiteral("prefer-dark"))
        return ColorScheme::Dark;
    if (sources.gnomeScheme == QStringLiteral("prefer-light"))
        return ColorScheme::Light;
    for (const QString *theme : {&sources.xsettingsTheme, &sources.gnomeTheme})
        if (!theme->isEmpty())
            return schemeOfThemeName(*theme);
    // GTK's settings.ini last: read once, it may be a leftover the live sources override.
    if (sources.gtkPrefersDark)
        return ColorScheme::Dark;
    return schemeOfThemeName(sources.gtkTheme);
}

InterfaceFont fontOf(const AppearanceSources &sources)
{
    InterfaceFont font;
    if (currentDesktopIs(sources.currentDesktop, QLatin1String("KDE")))
        font = fromQtString(sources.kdeFont);
    const auto scaled = [](const QString &name, double scaling) {
        InterfaceFont font = fromPango(name);
        if (scaling > 0)
            font.pointSize *= scaling;
        return font;
    };
    if (font.family.isEmpty())
        font = scaled(sources.portalFont, sources.portalTextScaling);
    if (font.family.isEmpty())
        font = fromPango(sources.xsettingsFont);
    if (font.family.isEmpty())
        font = scaled(sources.gnomeFont, sources.gnomeTextScaling);
    if (font.family.isEmpty())
        font = fromPango(sources.gtkFont);
    if (!font.family.isEmpty())
        font.defaultPointSize = defaultPointSize(sources.currentDesktop);
    return font;
}

} // namespace nudgewatch::fontNames
