#include "settings/SaveFailureNotice.h"

#include "settings/SettingsStyle.h"
#include "settings/WindowText.h"
#include "tracking/AppTrackerStore.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace nudgewatch {

SaveFailureNotice::SaveFailureNotice(AppTrackerStore &store, QWidget *parent)
    : QWidget(parent), m_store(store), m_label(new QLabel(this)),
      m_setAside(new QPushButton(windowText::setAsideDamaged, this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 6, 16, 6);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setWordWrap(true);
    m_label->setFont(style::font(this, 11, QFont::DemiBold));
    layout->addWidget(m_label, 1);
    layout->addWidget(m_setAside);
    m_setAside->setAccessibleName(windowText::setAsideDamaged);
    setAutoFillBackground(true);
    connect(m_setAside, &QPushButton::clicked, this, &SaveFailureNotice::setAside);
    connect(&store, &AppTrackerStore::saveFailed, this, &SaveFailureNotice::refresh);
    refresh();
}

void SaveFailureNotice::refresh()
{
    if (m_store.settingsDamaged()) {
        showMessage(
            windowText::settingsDamaged(m_store.settingsLocation(), m_store.settingsDamageReason()),
            true);
        m_setAside->show();
        return;
    }
    m_setAside->hide();
    if (!m_store.lastSaveSucceeded())
        showMessage(windowText::saveFailed, true);
    else if (!m_keptAs.isEmpty())
        showMessage(windowText::damagedKept(m_keptAs), false);
    else
        hide();
}

void SaveFailureNotice::setAside()
{
    m_keptAs = m_store.setAsideDamagedSettings();
    if (m_keptAs.isEmpty()) {
        showMessage(windowText::setAsideFailed, true);
        return;
    }
    refresh();
}

void SaveFailureNotice::showMessage(const QString &text, bool problem)
{
    m_label->setText(text);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, problem ? QColor(255, 59, 48, 40) : QColor(52, 199, 89, 40));
    colours.setColor(QPalette::WindowText, problem ? QColor(200, 30, 20) : QColor(20, 120, 50));
    setPalette(colours);
    m_label->setPalette(colours);
    show();
}

} // namespace nudgewatch
