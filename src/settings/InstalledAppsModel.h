#pragma once

#include "core/ApplicationCatalog.h"
#include "core/IconProvider.h"

#include <QAbstractListModel>
#include <QHash>
#include <QIcon>

namespace nudgewatch {

// The applications offered by the picker, each with a check box. At most
// `limit` can be checked; the checked ones are remembered in the order they were
// checked, which is the order they are added in. Icons load when first shown.
class InstalledAppsModel final : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { PathRole = Qt::UserRole + 1, SearchTextRole };

    InstalledAppsModel(const IconProvider &icons, int limit, QObject *parent = nullptr);

    // Replaces the catalog's entries; checked entries and entries added with
    // addEntryFile stay.
    void setApplications(const QList<InstalledApplication> &applications);
    // An entry chosen outside the catalog. Shown (once) and checked if a slot is
    // free. Returns its row.
    int addEntryFile(const QString &path);

    QStringList chosenPaths() const { return m_chosen; }
    bool isChosen(const QString &path) const { return m_chosen.contains(path); }
    // False when choosing would pass the limit.
    bool setChosen(const QString &path, bool chosen);
    int limit() const { return m_limit; }
    bool isFull() const { return m_chosen.size() >= m_limit; }
    // How many icons were loaded so far (icons load lazily).

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void chosenChanged();

private:
    void refreshAllRows();

    const IconProvider &m_iconProvider;
    int m_limit;
    QList<InstalledApplication> m_entries;
    QStringList m_chosen;
    mutable QHash<QString, QIcon> m_icons;
};

} // namespace nudgewatch
