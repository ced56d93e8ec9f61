#include "settings/AppsSection.h"

#include "settings/AppRow.h"
#include "settings/SectionHeader.h"
#include "settings/SettingsStyle.h"
#include "settings/Symbol.h"
#include "settings/WindowText.h"
#include "tracking/AppTrackerStore.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace nudgewatch {

// Shown instead of the rows while nothing is tracked.
class EmptyState final : public QWidget {
public:
    explicit EmptyState(QWidget *parent = nullptr);
};

EmptyState::EmptyState(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addSpacing(8);
    layout->addWidget(new SymbolView(QStringLiteral("tray.and.arrow.down.fill"), 36,
                                     style::secondary(palette(), 0.3), this),
                      0, Qt::AlignHCenter);
    layout->addWidget(style::label(windowText::noAppsTracked,
                                   style::font(this, 14, QFont::DemiBold),
                                   style::secondary(palette()), this),
                      0, Qt::AlignHCenter);
    auto *hint = style::label(windowText::emptyHint, style::font(this, 11),
                              style::secondary(palette(), 0.6), this);
    hint->setAlignment(Qt::AlignHCenter);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    layout->addSpacing(8);
}

AppsSection::AppsSection(AppTrackerStore &store, QWidget *parent) : QWidget(parent), m_store(store)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(10);

    m_count = style::label({}, style::font(this, 10, QFont::Medium, style::Design::Monospaced),
                           style::secondary(palette()), this);
    layout->addWidget(new SectionHeader(QStringLiteral("app.badge.fill"), style::purple,
                                        windowText::trackedApps, m_count, this));

    m_empty = new EmptyState(this);
    layout->addWidget(m_empty);
    m_list = new QWidget(this);
    m_listLayout = new QVBoxLayout(m_list);
    m_listLayout->setContentsMargins(0, 0, 0, 0);
    m_listLayout->setSpacing(8);
    layout->addWidget(m_list);

    connect(&m_store, &AppTrackerStore::openFailed, this, [this](const QString &path) {
        for (AppRow *row : m_rows) {
            if (row->app().bundlePath == path)
                row->showOpenFailure();
        }
    });
    refresh();
}

QWidget *AppsSection::emptyState() const
{
    return m_empty;
}

void AppsSection::refresh()
{
    const auto &apps = m_store.trackedApps();
    const int count = static_cast<int>(apps.size());
    m_count->setVisible(count > 0);
    m_count->setText(count > 0 ? windowText::countOfMaximum(count) : QString());
    m_empty->setVisible(count == 0);
    m_list->setVisible(count > 0);

    const bool sameRecords =
        m_rows.size() == apps.size() &&
        std::equal(apps.begin(), apps.end(), m_rows.begin(),
                   [](const TrackedApp &app, const AppRow *row) { return row->app() == app; });
    if (!sameRecords) {
        rebuildRows();
        return;
    }
    // The same records with new idle times: update in place so hover and
    // keyboard focus survive the once-a-second refresh.
    for (std::size_t i = 0; i < apps.size(); ++i)
        m_rows[i]->showApp(apps[i]);
}

void AppsSection::rebuildRows()
{
    for (AppRow *row : m_rows) {
        // A row may be the sender of the click that led here: delete it later.
        row->hide();
        row->deleteLater();
    }
    m_rows.clear();
    // New records carry new ids; a remembered hover no longer names any row.
    m_hoveredAppId.reset();
    for (const TrackedApp &app : m_store.trackedApps()) {
        auto *row = new AppRow(app, m_list);
        connect(row, &AppRow::openRequested, this,
                [this](const TrackedApp &tracked) { m_store.openApp(tracked); });
        connect(row, &AppRow::removeRequested, this,
                [this](const QUuid &id) { m_store.removeApp(id); });
        connect(row, &AppRow::hoverChanged, this, [this](AppRow *source, bool hovered) {
            setHoveredAppId(hovered ? std::optional(source->app().id) : std::nullopt);
        });
        m_listLayout->addWidget(row);
        row->show(); // at once, so it is in the focus chain right away
        m_rows.push_back(row);
    }
    emit rowsRebuilt();
}

QList<QWidget *> AppsSection::controls() const
{
    QList<QWidget *> result;
    for (const AppRow *row : m_rows)
        result << row->openButton() << row->removeButton();
    return result;
}

void AppsSection::setHoveredAppId(std::optional<QUuid> id)
{
    m_hoveredAppId = id;
    for (AppRow *row : m_rows)
        row->setHovered(id && row->app().id == *id);
}

} // namespace nudgewatch
