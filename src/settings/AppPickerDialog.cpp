#include "settings/AppPickerDialog.h"

#include "settings/InstalledAppsModel.h"
#include "settings/WindowText.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace nudgewatch {

namespace {

// The check box only shows the choice; the choice itself is the selection,
// which mouse, keyboard and accessibility tools all operate the same way.
class ChoiceDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool editorEvent(QEvent *, QAbstractItemModel *, const QStyleOptionViewItem &,
                     const QModelIndex &) override
    {
        return false;
    }
};

QStringList browseWithFileDialog(QWidget *parent)
{
    return QFileDialog::getOpenFileNames(
        parent, QStringLiteral("Choose Application Entries"),
        AppPickerDialog::browseFolder(
            QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)),
        QStringLiteral("Application entries (*.desktop)"));
}

} // namespace

QString AppPickerDialog::browseFolder(const QStringList &folders)
{
    for (const QString &folder : folders)
        if (QFileInfo(folder).isDir())
            return folder;
    return QStringLiteral("/usr/share/applications");
}

QString AppPickerDialog::limitText(int limit)
{
    if (limit == 1)
        return QStringLiteral("You can add 1 more application.");
    return QStringLiteral("You can add up to %1 more applications.").arg(limit);
}

AppPickerDialog::AppPickerDialog(const ApplicationCatalog &catalog, const IconProvider &icons,
                                 int limit, const QStringList &tracked, QWidget *parent)
    : QDialog(parent), m_browse(browseWithFileDialog)
{
    // Choosing a tracked entry again would take a free place and add nothing.
    const auto offered = [&catalog, tracked = QSet<QString>(tracked.begin(), tracked.end())] {
        QList<InstalledApplication> apps = catalog.installedApplications();
        apps.removeIf([&](const InstalledApplication &app) { return tracked.contains(app.path); });
        return apps;
    };
    setWindowTitle(windowText::addApplication);
    // Light or dark and the font as the settings window it belongs to.
    setAttribute(Qt::WA_WindowPropagation);
    resize(420, 480);

    m_model = new InstalledAppsModel(icons, limit, this);
    m_model->setApplications(offered());
    connect(&catalog, &ApplicationCatalog::changed, this, [this, offered] {
        {
            // A reset drops the view's selection; the choices stay in the model.
            const QScopedValueRollback guard(m_syncing, true);
            m_model->setApplications(offered());
        }
        showChoicesAsSelection();
    });

    m_filter = new QSortFilterProxyModel(this);
    m_filter->setSourceModel(m_model);
    m_filter->setFilterRole(InstalledAppsModel::SearchTextRole);
    m_filter->setFilterCaseSensitivity(Qt::CaseInsensitive);

    auto *layout = new QVBoxLayout(this);
    m_limitLabel = new QLabel(limitText(limit), this);
    m_limitLabel->setTextFormat(Qt::PlainText);
    layout->addWidget(m_limitLabel);

    m_search = new QLineEdit(this);
    m_search->setPlaceholderText(QStringLiteral("Search applications"));
    m_search->setAccessibleName(QStringLiteral("Search applications"));
    m_search->setClearButtonEnabled(true);
    layout->addWidget(m_search);
    connect(m_search, &QLineEdit::textChanged, this, &AppPickerDialog::filter);

    m_list = new QListView(this);
    m_list->setModel(m_filter);
    m_list->setItemDelegate(new ChoiceDelegate(m_list));
    m_list->setUniformItemSizes(true); // only visible rows ask for their icons
    m_list->setIconSize(QSize(32, 32));
    m_list->setSelectionMode(QAbstractItemView::MultiSelection);
    m_list->setAccessibleName(QStringLiteral("Installed applications"));
    layout->addWidget(m_list, 1);
    setFocusProxy(m_search);
    // Down from the search field moves into the list.
    m_search->installEventFilter(this);

    auto *buttons = new QDialogButtonBox(this);
    m_browseButton =
        buttons->addButton(QStringLiteral("Browse\u2026"), QDialogButtonBox::ActionRole);
    m_add = buttons->addButton(QStringLiteral("Add"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    m_add->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_browseButton, &QPushButton::clicked, this, &AppPickerDialog::browse);
    connect(m_model, &InstalledAppsModel::chosenChanged, this, [this] {
        updateAddButton();
        showChoicesAsSelection();
    });
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &AppPickerDialog::takeSelection);
    updateAddButton();
}

QStringList AppPickerDialog::chosenPaths() const
{
    return m_model->chosenPaths();
}

bool AppPickerDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_search && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Down && m_filter->rowCount() > 0) {
        m_list->setFocus(Qt::TabFocusReason);
        if (!m_list->currentIndex().isValid())
            m_list->selectionModel()->setCurrentIndex(m_filter->index(0, 0),
                                                      QItemSelectionModel::NoUpdate);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AppPickerDialog::filter(const QString &text)
{
    {
        // Rows hidden by the search leave the selection but stay chosen.
        const QScopedValueRollback guard(m_syncing, true);
        m_filter->setFilterFixedString(text);
    }
    showChoicesAsSelection();
}

void AppPickerDialog::takeSelection(const QItemSelection &selected,
                                    const QItemSelection &deselected)
{
    if (m_syncing)
        return;
    {
        const QScopedValueRollback guard(m_syncing, true);
        for (const QModelIndex &index : deselected.indexes())
            m_model->setChosen(index.data(InstalledAppsModel::PathRole).toString(), false);
        for (const QModelIndex &index : selected.indexes())
            m_model->setChosen(index.data(InstalledAppsModel::PathRole).toString(), true);
    }
    // Drops a selection past the limit.
    showChoicesAsSelection();
}

void AppPickerDialog::showChoicesAsSelection()
{
    if (m_syncing)
        return;
    const QScopedValueRollback guard(m_syncing, true);
    QItemSelection chosen;
    for (int row = 0; row < m_filter->rowCount(); ++row) {
        const QModelIndex index = m_filter->index(row, 0);
        if (m_model->isChosen(index.data(InstalledAppsModel::PathRole).toString()))
            chosen.select(index, index);
    }
    m_list->selectionModel()->select(chosen, QItemSelectionModel::ClearAndSelect);
}

void AppPickerDialog::browse()
{
    if (!m_browse)
        return;
    int lastRow = -1;
    for (const QString &path : m_browse(this)) {
        // The file dialog's filter can be typed past; only entry files track.
        if (!path.endsWith(QLatin1String(".desktop")) || !QFileInfo(path).isFile())
            continue;
        lastRow = m_model->addEntryFile(path);
    }
    if (lastRow >= 0) {
        m_search->clear();
        m_list->scrollTo(m_filter->mapFromSource(m_model->index(lastRow)));
    }
}

void AppPickerDialog::updateAddButton()
{
    const int count = int(m_model->chosenPaths().size());
    m_add->setEnabled(count > 0);
    m_add->setText(count > 1 ? QStringLiteral("Add %1 Applications").arg(count)
                             : QStringLiteral("Add"));
    m_limitLabel->setText(m_model->isFull() && m_model->limit() > 0
                              ? limitText(m_model->limit()) +
                                    QStringLiteral(" All free places are taken.")
                              : limitText(m_model->limit()));
}

} // namespace nudgewatch
