#include "settings/Symbol.h"

#include "card/SymbolImage.h"

#include <QPainter>

namespace nudgewatch {

SymbolView::SymbolView(QString name, int size, QColor color, QWidget *parent)
    : QWidget(parent), m_name(std::move(name)), m_size(size), m_color(std::move(color))
{
    setFixedSize(size, size);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SymbolView::setSymbol(const QString &name, const QColor &color)
{
    if (name == m_name && color == m_color)
        return;
    m_name = name;
    m_color = color;
    update();
}

void SymbolView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QImage image = symbolImage(m_name, QSizeF(m_size, m_size), m_color, devicePixelRatioF());
    painter.drawImage(QPointF((width() - m_size) / 2.0, (height() - m_size) / 2.0), image);
}

} // namespace nudgewatch
