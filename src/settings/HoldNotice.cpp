#include "settings/HoldNotice.h"

#include "settings/SettingsStyle.h"
#include "settings/WindowText.h"
#include "tracking/ReminderHold.h"

#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

namespace nudgewatch {

namespace {

// The end of a pause as the user's locale writes a time of day.
QString timeOfDay(WallTime time)
{
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    return QLocale().toString(QDateTime::fromMSecsSinceEpoch(ms).time(), QLocale::ShortFormat);
}

QLabel *noticeLabel(QWidget *parent)
{
    auto *label = style::label({}, style::font(parent, 11, QFont::DemiBold), style::blue, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace

HoldNotice::HoldNotice(ReminderHold &hold, QWidget *parent)
    : QWidget(parent), m_hold(hold), m_heldLabel(noticeLabel(this)),
      m_resume(new QPushButton(windowText::resume, this)), m_trackerLabel(noticeLabel(this)),
      m_setup(new QPushButton(this)), m_noteLabel(noticeLabel(this))
{
    setAccessibleName(windowText::holdNotice);
    m_resume->setAccessibleName(windowText::resumeReminders);
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(16, 8, 16, 8);
    layout->setColumnStretch(0, 1);
    layout->addWidget(m_heldLabel, 0, 0);
    layout->addWidget(m_resume, 0, 1);
    layout->addWidget(m_trackerLabel, 1, 0);
    layout->addWidget(m_setup, 1, 1);
    layout->addWidget(m_noteLabel, 2, 0, 1, 2);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, style::withOpacity(style::blue, 0.08));
    setPalette(colours);
    setAutoFillBackground(true);

    connect(m_resume, &QPushButton::clicked, &hold, &ReminderHold::resume);
    connect(m_setup, &QPushButton::clicked, this, [this] { m_hold.tracker().runSetup(); });
    connect(&hold, &ReminderHold::changed, this, &HoldNotice::refresh);
    connect(&hold.tracker(), &FrontmostApplicationTracker::statusChanged, this,
            &HoldNotice::refresh);
    setNote({});
}

void HoldNotice::refresh()
{
    const HoldState &state = m_hold.state();
    const QString held = windowText::remindersHeld(
        state.reason, state.pausedUntil ? timeOfDay(*state.pausedUntil) : QString());
    m_heldLabel->setText(held);
    m_heldLabel->setAccessibleName(held);
    m_heldLabel->setVisible(!held.isEmpty());
    m_resume->setVisible(state.pausedByUser());

    const TrackerStatus tracker = m_hold.tracker().status();
    const bool blind = !tracker.tracking;
    const QString why =
        tracker.explanation.isEmpty() ? windowText::trackerBlind : tracker.explanation;
    m_trackerLabel->setText(why);
    m_trackerLabel->setAccessibleName(why);
    m_trackerLabel->setVisible(blind);
    m_setup->setText(tracker.setupAction);
    m_setup->setAccessibleName(tracker.setupAction);
    m_setup->setVisible(blind && !tracker.setupAction.isEmpty());
    setVisible(!held.isEmpty() || blind || !m_noteLabel->text().isEmpty());
}

void HoldNotice::setNote(const QString &note)
{
    m_noteLabel->setText(note);
    m_noteLabel->setAccessibleName(note);
    m_noteLabel->setVisible(!note.isEmpty());
    refresh();
}

} // namespace nudgewatch
