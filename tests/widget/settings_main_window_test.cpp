// The settings window over a store of fakes: its counts, rows, slider and notices.
#include "platform/qt/SettingsDefaults.h"
#include "settings/AddAction.h"
#include "settings/SaveFailureNotice.h"
#include "settings/ThresholdSection.h"
#include "settings/ThresholdSlider.h"
#include "settings/TitleBar.h"
#include "settings/WindowText.h"
#include "widget/settings_fakes.h"

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

    void sliderWritesTheThresholdAndLeavesAnOutOfRangeOneAlone()
    {
        WindowRig s({.tracked = 0});
        QTest::keyClick(s.window->thresholdSection()->slider(), Qt::Key_Right);
        QCOMPARE(s.fixture.defaults.values.value(defaultsKeys::idleThreshold).toDouble(), 75.0);
        QCoreApplication::processEvents();
        QCOMPARE(s.window->thresholdSection()->valueLabel()->text(), "1m 15s");
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

    void damagedSettingsFileIsSetAsideFromTheWindow_data()
    {
        QTest::addColumn<QByteArray>("damaged");
        QTest::addColumn<QString>("reason");
        QTest::newRow("open section")
            << QByteArray("[General\nNudgewatch.trackedAppPaths=/apps/Alpha.desktop\n")
            << "(line 1 opens a section that is not closed)";
        QTest::newRow("# comment")
            << QByteArray("[General]\n# mine\nNudgewatch.trackedAppPaths=/apps/Alpha.desktop\n")
            << "(line 2 is a comment starting with \u201c#\u201d; comments in this file start "
               "with \u201c;\u201d)";
    }

    void damagedSettingsFileIsSetAsideFromTheWindow()
    {
        QFETCH(QByteArray, damaged);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString file = dir.filePath("Nudgewatch.conf");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(damaged) == damaged.size());
        out.close();
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
        QFile kept(file + ".damaged");
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), damaged);
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
};

QTEST_MAIN(MainWindowTest)
#include "settings_main_window_test.moc"
