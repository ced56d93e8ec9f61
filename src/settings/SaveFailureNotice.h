#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace nudgewatch {

class AppTrackerStore;

// Shown above the status bar while settings cannot be saved, so a change that
// would be lost at the next start does not look saved. When the settings file
// could not be read, it names the file and offers to keep it aside and start
// afresh; afterwards it says where the damaged file was kept.
class SaveFailureNotice final : public QWidget {
    Q_OBJECT
public:
    explicit SaveFailureNotice(AppTrackerStore &store, QWidget *parent = nullptr);

    // Follows the store: shown while its last save failed or its file is damaged.
    void refresh();

    QLabel *label() const { return m_label; }
    QPushButton *setAsideButton() const { return m_setAside; }

private:
    void setAside();
    void showMessage(const QString &text, bool problem);

    AppTrackerStore &m_store;
    QLabel *m_label;
    QPushButton *m_setAside;
    // Where the damaged file went, said until the window is next refreshed by a save.
    QString m_keptAs;
};

} // namespace nudgewatch
