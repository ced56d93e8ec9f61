#pragma once

#include <QColor>
#include <QWidget>

namespace nudgewatch {

// The header line of a settings section: a tinted symbol, the section's title,
// and a value at the far end (the threshold badge, the app count).
class SectionHeader final : public QWidget {
    Q_OBJECT
public:
    SectionHeader(const QString &symbol, const QColor &symbolColor, const QString &title,
                  QWidget *value, QWidget *parent = nullptr);
};

} // namespace nudgewatch
