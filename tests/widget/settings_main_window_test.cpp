// The settings window over a store of fakes: its counts, rows, slider and
// notices; while reminders are held, why, Resume for the user's pause, the
// pause menu, and a blind tracker's explanation with its setup.
#include "fakes/Files.h"
#include "platform/qt/SettingsDefaults.h"
#include "settings/AddAction.h"
#include "settings/HoldNotice.h"
#include "settings/PauseMenu.h"
#include "settings/SaveFailureNotice.h"
#include "settings/SettingsStyle.h"
#include "settings/StatusBar.h"
#include "settings/ThresholdSection.h"
#include "settings/ThresholdSlider.h"
#include "settings/TitleBar.h"
#include "settings/WindowText.h"
#include "widget/settings_fakes.h"

#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }

    void countsAndTexts_data()
    {
        QTest::addColumn<int>("tracked");
        QTest::addColumn<QStringList>("texts"); // status, title count, header count
        QTest::newRow("none") << 0 << QStringList{"Not Tracking", "0/5 apps", ""};
        QTest::newRow("four") << 4 << QStringList{"Monitoring", "4/5 apps", "4 of 5"};
        QTest::newRow("five") << 5 << QStringList{"Monitoring", "5/5 apps", "5 of 5"};
    }
    void countsAndTexts()
    {
        QFETCH(int, tracked);
        QFETCH(QStringList, texts);
        WindowRig s({.tracked = tracked});
        QCOMPARE(s.window->titleBar()->statusLabel()->text(), texts[0]);
        QCOMPARE(s.window->titleBar()->countLabel()->text(), texts[1]);
        QLabel *count = s.window->appsSection()->countLabel();
        QCOMPARE(s.shown(count) ? count->text() : QString(), texts[2]);
        QCOMPARE(s.shown(s.window->appsSection()->emptyState()), tracked == 0);
        QCOMPARE(s.window->appsSection()->rows().size(), std::size_t(tracked));
        QCOMPARE(s.shown(s.window->addAction()), tracked < 5);
        QCOMPARE(QAccessible::queryAccessibleInterface(s.window.get())->role(),
                 QAccessible::Window);
    }

    void rowButtonsAndThePickerActOnTheStore()
    {
        WindowRig s;
        QTest::mouseClick(s.row(1)->openButton(), Qt::LeftButton);
        QCOMPARE(s.fixture.workspace.opener.opened, QStringList{"/apps/Bravo.desktop"});
        s.fixture.workspace.opener.succeeds = false; // the row says so, past the next tick
        QTest::mouseClick(s.row(0)->openButton(), Qt::LeftButton);
        s.fixture.scheduler.advance(1);
        QCoreApplication::processEvents();
        QCOMPARE(s.row(0)->statusLabel()->text(), windowText::openFailed);
        QCOMPARE(s.row(1)->statusLabel()->text() == windowText::openFailed, false);
        QTest::mouseClick(s.row(1)->removeButton(), Qt::LeftButton);
        QCOMPARE(s.fixture.saved(), QStringList{"/apps/Alpha.desktop"});
        // The picker gets the free places and what is tracked; choices are added in its order.
        s.picker.answer = {"/apps/Echo.desktop", "/apps/Charlie.desktop"};
        QTest::mouseClick(s.window->addAction(), Qt::LeftButton);
        QCOMPARE(s.picker.lastLimit, 4);
        QCOMPARE(s.picker.lastTracked, QStringList{"/apps/Alpha.desktop"});
        QCOMPARE(s.fixture.saved(), (QStringList{"/apps/Alpha.desktop", "/apps/Echo.desktop",
                                                 "/apps/Charlie.desktop"}));
    }

    // A threshold beyond the slider's range is shown as it is and never rewritten
    // (the slider's own writes are checked end to end).
    void anOutOfRangeThresholdIsLeftAlone()
    {
        WindowRig far({.tracked = 0, .threshold = 3600});
        QCOMPARE(far.window->thresholdSection()->valueLabel()->text(), "60m");
        QCOMPARE(far.fixture.defaults.values.value(defaultsKeys::idleThreshold).toDouble(), 3600.0);
    }

    void saveFailureIsShownUntilASaveSucceeds()
    {
        WindowRig s({.tracked = 1});
        QVERIFY(s.window->saveFailureNotice()->isHidden());
        s.fixture.defaults.failWrites = true;
        QTest::mouseClick(s.row(0)->removeButton(), Qt::LeftButton);
        QVERIFY(s.window->saveFailureNotice()->label()->text().contains("could not be saved"));
        QVERIFY(!s.window->saveFailureNotice()->isHidden());
        s.fixture.defaults.failWrites = false;
        QTest::keyClick(s.window->thresholdSection()->slider(), Qt::Key_Right);
        QCoreApplication::processEvents();
        QVERIFY(s.window->saveFailureNotice()->isHidden());
    }

    // What the file holds and why it is damaged are the settings file's own
    // test; here the window says so, refuses to write, and sets it aside.
    void damagedSettingsFileIsSetAsideFromTheWindow()
    {
        const QByteArray damaged(
            "[General]\n# mine\nNudgewatch.trackedAppPaths=/apps/Alpha.desktop\n");
        const QString reason = "(line 2 is a comment starting with \u201c#\u201d; comments in "
                               "this file start with \u201c;\u201d)";
        QTemporaryDir dir;
        const QString file = dir.filePath("Nudgewatch.conf");
        QVERIFY(writeFile(file, damaged));
        SettingsDefaults defaults(file);
        WindowRig s({.tracked = 0, .defaults = &defaults});
        SaveFailureNotice *notice = s.window->saveFailureNotice();
        const QString text = notice->label()->text();
        QVERIFY2(text.contains(file) && text.contains(reason), qPrintable(text));
        // The question the button answers is there, and the label is tall enough to show it.
        QVERIFY(text.endsWith("start a fresh file with what could be read?"));
        QVERIFY(std::none_of(text.begin(), text.end(),
                             [](QChar c) { return c.category() == QChar::Other_Control; }));
        QTRY_VERIFY(notice->label()->height() >=
                    notice->label()->heightForWidth(notice->label()->width()));
        s.picker.answer = {"/apps/Bravo.desktop"};
        s.window->openPicker();
        QCOMPARE(s.store->trackedApps().size(), 1u); // refused: the file is never written over

        QTest::mouseClick(notice->setAsideButton(), Qt::LeftButton);
        QVERIFY(notice->label()->text().contains(file + ".damaged"));
        QVERIFY(notice->setAsideButton()->isHidden());
        s.window->openPicker();
        QCOMPARE(SettingsDefaults(file).stringList(defaultsKeys::trackedAppPaths),
                 QStringList({"/apps/Alpha.desktop", "/apps/Bravo.desktop"}));
    }

    void statusRowsFollowTheTicksOnlyWhenShown()
    {
        WindowRig s;
        s.fixture.workspace.tracker.frontmost = RunningApplication{"Alpha", "/apps/Alpha.desktop"};
        s.store->startMonitoring();
        s.window->close();
        s.fixture.scheduler.advance(125);
        QCoreApplication::processEvents();
        // Closed, it leaves the per-second work alone...
        QCOMPARE(s.row(1)->statusLabel()->text(), "0s idle");
        s.window->show(); // ...and catches up when shown
        QCOMPARE(s.row(0)->statusLabel()->text(), "Active");
        QCOMPARE(s.row(1)->statusLabel()->text(), "2m 5s idle");
        const std::vector<AppRow *> rows = s.window->appsSection()->rows();
        s.fixture.scheduler.advance(1);
        QCOMPARE(s.window->appsSection()->rows(), rows); // rows stay across ticks
    }

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
        // Nothing to set up, no reason given.
        s.fixture.workspace.tracker.setStatus({false, {}, {}});
        QVERIFY(notice->setupButton()->isHidden());
        QVERIFY(notice->trackerLabel()->text().startsWith("Nudgewatch cannot see"));
        s.fixture.workspace.tracker.setStatus({});
        QVERIFY(notice->isHidden());
    }
};

QTEST_MAIN(MainWindowTest)
#include "settings_main_window_test.moc"
