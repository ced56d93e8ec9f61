#pragma once

#include <QObject>
#include <QString>

namespace nudgewatch {

// The light or dark preference the user chose for the desktop.
enum class ColorScheme { Light, Dark };

// The desktop's interface font: its family and the user's size beside the
// size that desktop ships with, so text can grow as the user asked.
struct InterfaceFont {
    QString family;       // empty: the toolkit's own
    double pointSize = 0; // 0: not known
    double defaultPointSize = 0;

    // How much larger than the desktop's default the user wants text; 1 when unknown.
    double scale() const
    {
        return pointSize > 0 && defaultPointSize > 0 ? pointSize / defaultPointSize : 1.0;
    }
    bool operator==(const InterfaceFont &) const = default;
};

// What the desktop says about how applications should look; follows it live.
class DesktopAppearance : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual ColorScheme colorScheme() const = 0;
    virtual InterfaceFont interfaceFont() const = 0;

signals:
    void colorSchemeChanged(nudgewatch::ColorScheme scheme);
    void interfaceFontChanged(const nudgewatch::InterfaceFont &font);
};

} // namespace nudgewatch
