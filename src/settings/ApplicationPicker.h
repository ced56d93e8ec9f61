#pragma once

#include <QStringList>

#include <functional>

class QWidget;

namespace nudgewatch {

// Opens the picker for the settings window and reports what was chosen.
class ApplicationPicker {
public:
    virtual ~ApplicationPicker() = default;
    // Offers at most `limit` entries not among `tracked`; calls `chosen` with
    // their paths, in order, once the user confirms. Nothing is called when the
    // user cancels.
    virtual void pick(QWidget *parent, int limit, const QStringList &tracked,
                      std::function<void(const QStringList &paths)> chosen) = 0;
};

} // namespace nudgewatch
