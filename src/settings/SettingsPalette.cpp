#include "settings/SettingsPalette.h"

#include "settings/SettingsStyle.h"
#include "settings/Symbol.h"

#include <QWidget>

namespace nudgewatch {

namespace {

bool isDark(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

void setBoth(QPalette &palette, QPalette::ColorRole role, const QColor &color)
{
    palette.setColor(QPalette::Active, role, color);
    palette.setColor(QPalette::Inactive, role, color);
    palette.setColor(QPalette::Disabled, role, style::withOpacity(color, 0.4));
}

QPalette neutralPalette(const QColor &window, const QColor &base, const QColor &button,
                        const QColor &text)
{
    QPalette palette;
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::AlternateBase, QPalette::Button,
                      QPalette::ToolTipBase}) {
        const QColor color = role == QPalette::Window   ? window
                             : role == QPalette::Button ? button
                                                        : base;
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setColor(group, role, color);
    }
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                      QPalette::ToolTipText, QPalette::BrightText})
        setBoth(palette, role, text);
    setBoth(palette, QPalette::PlaceholderText, style::withOpacity(text, 0.5));
    palette.setColor(QPalette::Light, button.lighter(150));
    palette.setColor(QPalette::Midlight, button.lighter(125));
    palette.setColor(QPalette::Mid, button.darker(130));
    palette.setColor(QPalette::Dark, button.darker(170));
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::Link, style::blue);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    return palette;
}

} // namespace

QPalette settingsPalette(const QPalette &desktop, ColorScheme scheme)
{
    QPalette palette;
    if (scheme == ColorScheme::Dark) {
        palette = isDark(desktop) ? desktop
                                  : neutralPalette(QColor(36, 36, 36), QColor(30, 30, 30),
                                                   QColor(58, 58, 58), Qt::white);
    } else {
        palette = isDark(desktop) ? neutralPalette(QColor(246, 246, 246), Qt::white,
                                                   QColor(232, 232, 232), Qt::black)
                                  : desktop;
    }
    // The user's highlight is theirs in either scheme.
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Highlight, desktop.color(group, QPalette::Highlight));
    return palette;
}

void followTextColor(QWidget *root, const QColor &from, const QColor &to)
{
    if (from.rgb() == to.rgb())
        return;
    const auto follow = [&](QColor color) {
        if (color.rgb() != from.rgb())
            return color;
        QColor result = to;
        result.setAlphaF(color.alphaF() * to.alphaF());
        return result;
    };
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        if (auto *symbol = qobject_cast<SymbolView *>(widget))
            symbol->setSymbol(symbol->symbol(), follow(symbol->color()));
        if (!widget->testAttribute(Qt::WA_SetPalette))
            continue;
        QPalette palette = widget->palette();
        bool changed = false;
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            const QColor before = palette.color(group, QPalette::WindowText);
            const QColor after = follow(before);
            if (after != before) {
                palette.setColor(group, QPalette::WindowText, after);
                changed = true;
            }
        }
        if (changed)
            widget->setPalette(palette);
    }
}

} // namespace nudgewatch
