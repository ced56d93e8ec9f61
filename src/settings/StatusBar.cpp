#include "settings/StatusBar.h"

#include "settings/SettingsStyle.h"
#include "settings/Symbol.h"
#include "settings/WindowText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace nudgewatch {

StatusBar::StatusBar(QWidget *parent)
    : QWidget(parent),
      m_status(style::label(windowText::statusActive, style::font(this, 10, QFont::Medium),
                            style::secondary(palette()), this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 8, 16, 8);
    layout->addWidget(new SymbolView(QStringLiteral("bell.fill"), 10,
                                     style::withOpacity(style::blue, 0.5), this));
    layout->addWidget(m_status);
    layout->addStretch(1);
    layout->addWidget(style::label(windowText::statusClose, style::font(this, 9),
                                   style::secondary(palette(), 0.5), this));
}

void StatusBar::addControl(QWidget *control)
{
    control->setParent(this);
    layout()->addWidget(control);
}

void StatusBar::showHeld(bool held)
{
    m_status->setText(held ? windowText::statusHeld : windowText::statusActive);
    style::setLabelColor(m_status, held ? style::gray : style::secondary(palette()));
}

void StatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), style::primary(palette(), 0.02));
}

} // namespace nudgewatch
