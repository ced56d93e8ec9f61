#include "settings/SectionHeader.h"

#include "settings/SettingsStyle.h"
#include "settings/Symbol.h"

#include <QHBoxLayout>
#include <QLabel>

namespace nudgewatch {

SectionHeader::SectionHeader(const QString &symbol, const QColor &symbolColor, const QString &title,
                             QWidget *value, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new SymbolView(symbol, 16, symbolColor, this));
    layout->addWidget(style::label(title,
                                   style::font(this, 13, QFont::Bold, style::Design::Rounded),
                                   style::primary(palette()), this));
    layout->addStretch(1);
    value->setParent(this);
    layout->addWidget(value);
}

} // namespace nudgewatch
