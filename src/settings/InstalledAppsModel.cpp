#include "settings/InstalledAppsModel.h"

#include <QFileInfo>
#include <QPixmap>

#include <algorithm>

namespace nudgewatch {

InstalledAppsModel::InstalledAppsModel(const IconProvider &icons, int limit, QObject *parent)
    : QAbstractListModel(parent), m_iconProvider(icons), m_limit(std::max(0, limit))
{
}

void InstalledAppsModel::setApplications(const QList<InstalledApplication> &applications)
{
    beginResetModel();
    QList<InstalledApplication> kept;
    for (const InstalledApplication &entry : std::as_const(m_entries)) {
        const bool inNewList =
            std::any_of(applications.begin(), applications.end(),
                        [&](const InstalledApplication &a) { return a.path == entry.path; });
        if (!inNewList && entry.desktopId.isEmpty())
            kept.append(entry);
    }
    m_entries = kept + applications;
    // A chosen catalog entry that was uninstalled meanwhile cannot be added.
    m_chosen.erase(std::remove_if(m_chosen.begin(), m_chosen.end(),
                                  [this](const QString &path) {
                                      return std::none_of(
                                          m_entries.begin(), m_entries.end(),
                                          [&](const auto &e) { return e.path == path; });
                                  }),
                   m_chosen.end());
    endResetModel();
    emit chosenChanged();
}

int InstalledAppsModel::addEntryFile(const QString &path)
{
    auto it = std::find_if(m_entries.begin(), m_entries.end(),
                           [&](const InstalledApplication &e) { return e.path == path; });
    if (it == m_entries.end()) {
        beginInsertRows({}, 0, 0);
        // No desktop id: an entry from outside the menus, named by its file.
        m_entries.prepend({QString(), QFileInfo(path).completeBaseName(), path, path});
        endInsertRows();
        it = m_entries.begin();
    }
    if (!m_chosen.contains(path) && !isFull())
        setChosen(path, true);
    return int(it - m_entries.begin());
}

int InstalledAppsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant InstalledAppsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const InstalledApplication &entry = m_entries.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return entry.name;
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return entry.comment.isEmpty() ? entry.path : entry.comment;
    case Qt::DecorationRole: {
        auto icon = m_icons.constFind(entry.path);
        if (icon == m_icons.constEnd())
            icon = m_icons.insert(
                entry.path, QIcon(QPixmap::fromImage(m_iconProvider.iconForFile(entry.path))));
        return *icon;
    }
    case Qt::CheckStateRole:
        return m_chosen.contains(entry.path) ? Qt::Checked : Qt::Unchecked;
    case PathRole:
        return entry.path;
    case SearchTextRole:
        return entry.name + QLatin1Char('\n') + entry.desktopId + QLatin1Char('\n') + entry.comment;
    default:
        return {};
    }
}

bool InstalledAppsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || index.row() >= m_entries.size())
        return false;
    const bool chosen = value.toInt() == Qt::Checked;
    return setChosen(m_entries.at(index.row()).path, chosen);
}

Qt::ItemFlags InstalledAppsModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result =
        Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
    // Once every free slot is taken the other entries cannot be checked.
    if (!isFull() || m_chosen.contains(m_entries.at(index.row()).path))
        result |= Qt::ItemIsEnabled;
    return result;
}

bool InstalledAppsModel::setChosen(const QString &path, bool chosen)
{
    const bool wasFull = isFull();
    if (chosen == m_chosen.contains(path))
        return true;
    if (chosen && wasFull)
        return false;
    if (chosen)
        m_chosen.append(path);
    else
        m_chosen.removeAll(path);
    if (wasFull != isFull()) {
        refreshAllRows();
    } else {
        for (int row = 0; row < m_entries.size(); ++row) {
            if (m_entries.at(row).path == path)
                emit dataChanged(index(row), index(row), {Qt::CheckStateRole});
        }
    }
    emit chosenChanged();
    return true;
}

void InstalledAppsModel::refreshAllRows()
{
    if (!m_entries.isEmpty())
        emit dataChanged(index(0), index(int(m_entries.size()) - 1));
}

} // namespace nudgewatch
