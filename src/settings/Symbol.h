#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace nudgewatch {

// Paints one of the program's symbols ("bell.fill", "clock", ...), tinted,
// centred in a square of `size` pixels. Decorative: the text next to it
// carries the meaning.
class SymbolView final : public QWidget {
    Q_OBJECT
public:
    SymbolView(QString name, int size, QColor color, QWidget *parent = nullptr);

    void setSymbol(const QString &name, const QColor &color);
    const QColor &color() const { return m_color; }
    const QString &symbol() const { return m_name; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_name;
    int m_size;
    QColor m_color;
};

} // namespace nudgewatch
