#pragma once

#include "core/ApplicationCatalog.h"
#include "core/IconProvider.h"

#include <QDialog>

#include <functional>

class QItemSelection;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QSortFilterProxyModel;

namespace nudgewatch {

class InstalledAppsModel;

// "Add Application": the installed applications with icons, a search field and
// several at once, limited to the free slots, plus "Browse…" for an entry file
// outside the menus. An entry is chosen by selecting it (click, Space, or an
// assistive tool's toggle); its check box shows the choice.
class AppPickerDialog final : public QDialog {
    Q_OBJECT
public:
    // Asks for entry files outside the menus; returns the chosen paths.
    using BrowseFunction = std::function<QStringList(QWidget *parent)>;

    // Entries at the `tracked` paths are not offered again.
    AppPickerDialog(const ApplicationCatalog &catalog, const IconProvider &icons, int limit,
                    const QStringList &tracked = {}, QWidget *parent = nullptr);

    // Entry paths in the order they were checked.
    QStringList chosenPaths() const;

    void setBrowseFunction(BrowseFunction browse) { m_browse = std::move(browse); }

    static QString limitText(int limit);
    // Where "Browse…" opens: the first of the applications `folders` that
    // exists (the user's own is often never made), else the system's.
    static QString browseFolder(const QStringList &folders);

    InstalledAppsModel *model() const { return m_model; }
    QListView *listView() const { return m_list; }
    QLineEdit *searchField() const { return m_search; }
    QPushButton *browseButton() const { return m_browseButton; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void browse();
    void updateAddButton();
    void filter(const QString &text);
    void takeSelection(const QItemSelection &selected, const QItemSelection &deselected);
    void showChoicesAsSelection();

    InstalledAppsModel *m_model;
    QSortFilterProxyModel *m_filter;
    QLineEdit *m_search;
    QListView *m_list;
    QLabel *m_limitLabel;
    QPushButton *m_add;
    QPushButton *m_browseButton;
    BrowseFunction m_browse;
    bool m_syncing = false;
};

} // namespace nudgewatch
