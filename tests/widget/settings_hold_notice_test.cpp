// The settings window while reminders are held: why, Resume for the user's
// pause, the pause menu, and a blind tracker's explanation with its setup.
#include "settings/HoldNotice.h"
#include "settings/PauseMenu.h"
#include "settings/SettingsStyle.h"
#include "settings/StatusBar.h"
#include "settings/TitleBar.h"
#include "settings/WindowText.h"
#include "widget/settings_fakes.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

class HoldNoticeTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }

    void saysWhyAndOffersResumeForThePause_data()
    {
        QTest::addColumn<QString>("hold"); // a condition letter, or a pause menu choice
        QTest::addColumn<QString>("text");
        const QString paused = QStringLiteral("Reminders are paused ");
        for (const auto &[hold, text] : std::vector<std::pair<QString, QString>>{
                 {"none", ""},
                 {"short", paused + "until 08:30"},
                 {"long", paused + "until 09:00"},
                 {"until", paused + "until you resume them"},
                 {"L", paused + "while the screen is locked"},
                 {"S", paused + "while the computer sleeps"},
                 {"N", paused + "while you are away"},
                 {"F", paused + "while a window is fullscreen"},
                 {"D", paused + "while Do Not Disturb is on"}})
            QTest::newRow(qPrintable(hold)) << hold << text;
    }
    void saysWhyAndOffersResumeForThePause()
    {
        QFETCH(QString, hold);
        QFETCH(QString, text);
        WindowRig s({.tracked = 1}); // the monitoring texts show with an app tracked
        auto *menu = qobject_cast<PauseMenu *>(s.window->pauseButton()->menu());
        const QHash<QString, QAction *> choices{{"short", menu->shortPauseAction()},
                                                {"long", menu->longPauseAction()},
                                                {"until", menu->untilResumedAction()}};
        if (choices.contains(hold))
            choices[hold]->trigger();
        else if (hold != "none")
            s.fixture.presence.report(
                static_cast<PresenceCondition>(QString("LSNFD").indexOf(hold)), true);
        HoldNotice *notice = s.window->holdNotice();
        QCOMPARE(notice->isVisible(), !text.isEmpty());
        QCOMPARE(notice->heldLabel()->text(), text);
        // Both monitoring texts say whether reminders are held.
        const bool held = !text.isEmpty();
        QLabel *title = s.window->titleBar()->statusLabel();
        QLabel *bar = s.window->statusBar()->statusLabel();
        QTRY_COMPARE(title->text(), held ? windowText::monitoringHeld : windowText::monitoring);
        QCOMPARE(bar->text(), held ? windowText::statusHeld : windowText::statusActive);
        QCOMPARE(title->palette().color(QPalette::WindowText) == style::gray, held);
        QCOMPARE(bar->palette().color(QPalette::WindowText) == style::gray, held);
        QCOMPARE(notice->heldLabel()->accessibleName(), text);
        QCOMPARE(notice->resumeButton()->isVisible(), choices.contains(hold));
        QVERIFY(!notice->trackerLabel()->isVisible());
        if (choices.contains(hold)) {
            QTest::mouseClick(notice->resumeButton(), Qt::LeftButton);
            QVERIFY(!s.store->reminderHold().isHeld());
            QVERIFY(notice->isHidden());
        }
        for (QWidget *control : {(QWidget *)notice, (QWidget *)notice->resumeButton(),
                                 (QWidget *)s.window->pauseButton(), (QWidget *)menu})
            QVERIFY(!control->accessibleName().isEmpty());
    }

    void blindTrackerExplainsAndOffersSetup()
    {
        WindowRig s({.tracked = 0});
        HoldNotice *notice = s.window->holdNotice();
        s.fixture.workspace.tracker.setStatus(
            {false, "Cannot see the front window.", "Install Helper"});
        QVERIFY(notice->isVisible());
        QVERIFY(notice->heldLabel()->isHidden());
        QCOMPARE(notice->trackerLabel()->text(), "Cannot see the front window.");
        QCOMPARE(notice->setupButton()->accessibleName(), "Install Helper");
        QTest::mouseClick(notice->setupButton(), Qt::LeftButton);
        QCOMPARE(s.fixture.workspace.tracker.setupRuns, 1);
        s.fixture.workspace.tracker.setStatus(
            {false, {}, {}}); // nothing to set up, no reason given
        QVERIFY(notice->setupButton()->isHidden());
        QVERIFY(notice->trackerLabel()->text().startsWith("Nudgewatch cannot see"));
        s.fixture.workspace.tracker.setStatus({});
        QVERIFY(notice->isHidden());
    }
};

QTEST_MAIN(HoldNoticeTest)
#include "settings_hold_notice_test.moc"
