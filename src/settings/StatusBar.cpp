#include "settings/StatusBar.h"

#include "settings/SettingsStyle.h"
#include "settings/Symbol.h"
#include "settings/WindowText.h"

#include <QHBoxLayout>
#include <QPainter>

namespace nudgewatch {

StatusBar::StatusBar(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 8, 16, 8);
    layout->addWidget(new SymbolView(QStringLiteral("bell.fill"), 10,
                                     style::withOpacity(style::blue, 0.5), this));
    layout->addWidget(style::label(windowText::statusActive, style::font(10, QFont::Medium),
                                   style::secondary(palette()), this));
    layout->addStretch(1);
    layout->addWidget(style::label(windowText::statusClose, style::font(9),
                                   style::secondary(palette(), 0.5), this));
}

void StatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), style::primary(palette(), 0.02));
}

SaveFailureNotice::SaveFailureNotice(QWidget *parent) : QLabel(windowText::saveFailed, parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setFont(style::font(11, QFont::DemiBold));
    setContentsMargins(16, 6, 16, 6);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(255, 59, 48, 40));
    colours.setColor(QPalette::WindowText, QColor(200, 30, 20));
    setPalette(colours);
    hide();
}

void SaveFailureNotice::showSaveState(bool lastSaveSucceeded)
{
    setVisible(!lastSaveSucceeded);
}

} // namespace nudgewatch
