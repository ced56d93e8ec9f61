#pragma once

#include <QUuid>
#include <QWidget>

#include <optional>
#include <vector>

class QLabel;
class QVBoxLayout;

namespace nudgewatch {

class EmptyState;

class AppRow;
class AppTrackerStore;

// The tracked applications: a header with the count and one row per
// application in the store's order, or the empty state.
class AppsSection final : public QWidget {
    Q_OBJECT
public:
    explicit AppsSection(AppTrackerStore &store, QWidget *parent = nullptr);

    // Re-reads the tracked applications from the store.
    void refresh();

    QLabel *countLabel() const { return m_count; }
    QWidget *emptyState() const;
    const std::vector<AppRow *> &rows() const { return m_rows; }
    // The focusable controls of the rows, in order.
    QList<QWidget *> controls() const;

signals:
    // The rows were replaced (an application was added or removed).
    void rowsRebuilt();

private:
    void rebuildRows();
    void setHoveredAppId(std::optional<QUuid> id);

    AppTrackerStore &m_store;
    QLabel *m_count;
    EmptyState *m_empty;
    QWidget *m_list;
    QVBoxLayout *m_listLayout;
    std::vector<AppRow *> m_rows;
    std::optional<QUuid> m_hoveredAppId;
};

} // namespace nudgewatch
