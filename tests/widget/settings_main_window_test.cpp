#include "fakes/Fakes.h"
#include "platform/qt/SettingsDefaults.h"
#include "settings/AddAction.h"
#include "settings/AppRow.h"
#include "settings/AppsSection.h"
#include "settings/MainWindow.h"
#include "settings/SaveFailureNotice.h"
#include "settings/SettingsStyle.h"
#include "settings/StatusBar.h"
#include "settings/Symbol.h"
#include "settings/ThresholdSection.h"
#include "settings/ThresholdSlider.h"
#include "settings/TitleBar.h"
#include "widget/settings_fakes.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

const QStringList fiveApps = {"Alpha", "Bravo", "Charlie", "Delta", "Echo"};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    struct Setup {
        StoreFixture fixture;
        ScriptedPicker picker;
        std::unique_ptr<AppTrackerStore> store;
        std::unique_ptr<MainWindow> window;

        explicit Setup(const QStringList &tracked, double threshold = 60,
                       UserDefaults *realDefaults = nullptr)
        {
            fixture.install(fiveApps + QStringList{"Foxtrot", "Golf"});
            QStringList paths;
            for (const QString &name : tracked)
                paths.append(QStringLiteral("/apps/%1.desktop").arg(name));
            fixture.defaults.values.insert(defaultsKeys::trackedAppPaths, paths);
            fixture.defaults.values.insert(defaultsKeys::idleThreshold, threshold);
            store = fixture.makeStore(realDefaults);
            window = std::make_unique<MainWindow>(*store, picker);
            window->show();
        }
        void settle() { QCoreApplication::processEvents(); }
    };

private slots:
    void countsAndTexts_data()
    {
        QTest::addColumn<QStringList>("tracked");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("titleCount");
        QTest::addColumn<QString>("headerCount");
        QTest::addColumn<bool>("addShown");
        QTest::newRow("none") << QStringList{} << "Not Tracking"
                              << "0/5 apps"
                              << "" << true;
        QTest::newRow("four") << fiveApps.mid(0, 4) << "Monitoring"
                              << "4/5 apps"
                              << "4 of 5" << true;
        QTest::newRow("five") << fiveApps << "Monitoring"
                              << "5/5 apps"
                              << "5 of 5" << false;
    }
    void countsAndTexts()
    {
        QFETCH(QStringList, tracked);
        QFETCH(QString, status);
        QFETCH(QString, titleCount);
        QFETCH(QString, headerCount);
        QFETCH(bool, addShown);
        Setup s(tracked);
        QCOMPARE(s.window->titleBar()->statusLabel()->text(), status);
        QCOMPARE(s.window->titleBar()->statusDot()->color(),
                 tracked.isEmpty() ? style::gray : style::green);
        QCOMPARE(s.window->titleBar()->countLabel()->text(), titleCount);
        AppsSection *apps = s.window->appsSection();
        QCOMPARE(apps->countLabel()->isVisibleTo(s.window.get()), !headerCount.isEmpty());
        if (!headerCount.isEmpty())
            QCOMPARE(apps->countLabel()->text(), headerCount);
        QCOMPARE(apps->emptyState()->isVisibleTo(s.window.get()), tracked.isEmpty());
        QStringList names;
        for (const AppRow *row : apps->rows())
            names << row->nameLabel()->text();
        QCOMPARE(names, tracked);
        QCOMPARE(s.window->addAction()->isVisibleTo(s.window.get()), addShown);
    }

    void rowButtonsActOnTheirRecord()
    {
        Setup s({"Alpha", "Bravo"});
        QTest::mouseClick(s.window->appsSection()->rows()[1]->openButton(), Qt::LeftButton);
        QCOMPARE(s.fixture.workspace.opener.opened, QStringList{"/apps/Bravo.desktop"});
        QTest::mouseClick(s.window->appsSection()->rows()[1]->removeButton(), Qt::LeftButton);
        QCOMPARE(s.fixture.defaults.values.value(defaultsKeys::trackedAppPaths).toStringList(),
                 QStringList{"/apps/Alpha.desktop"});
        s.settle();
        QTest::mouseClick(s.window->appsSection()->rows()[0]->removeButton(), Qt::LeftButton);
        s.settle();
        QVERIFY(s.window->appsSection()->emptyState()->isVisibleTo(s.window.get()));
        QCOMPARE(s.window->titleBar()->statusLabel()->text(), "Not Tracking");
    }

    void pickerGetsTheFreePlacesAndAddsInItsOrder()
    {
        Setup s({"Alpha", "Bravo"});
        s.picker.answer = {"/apps/Echo.desktop", "/apps/Charlie.desktop", "/apps/Delta.desktop"};
        QTest::mouseClick(s.window->addAction(), Qt::LeftButton);
        QCOMPARE(s.picker.lastLimit, 3);
        QCOMPARE(s.picker.lastTracked, (QStringList{"/apps/Alpha.desktop", "/apps/Bravo.desktop"}));
        QCOMPARE(s.fixture.defaults.values.value(defaultsKeys::trackedAppPaths).toStringList(),
                 (QStringList{"/apps/Alpha.desktop", "/apps/Bravo.desktop", "/apps/Echo.desktop",
                              "/apps/Charlie.desktop", "/apps/Delta.desktop"}));
        s.picker.cancel = true;
        const int writes = s.fixture.defaults.writes;
        s.window->openPicker();
        QCOMPARE(s.fixture.defaults.writes, writes);
    }

    void sliderKeysWriteTheThreshold()
    {
        Setup s({});
        ThresholdSlider *slider = s.window->thresholdSection()->slider();
        QTest::keyClick(slider, Qt::Key_Right);
        QCOMPARE(s.fixture.defaults.values.value(defaultsKeys::idleThreshold).toDouble(), 75.0);
        QTest::keyClick(slider, Qt::Key_Right);
        s.settle();
        QCOMPARE(s.store->idleThresholdSeconds(), 90.0);
        QCOMPARE(s.window->thresholdSection()->valueLabel()->text(), "1m 30s");
    }

    void storedValueOutsideTheRangeIsShownNotRewritten()
    {
        Setup s({}, 3600);
        const int writes = s.fixture.defaults.writes;
        s.settle();
        QCOMPARE(s.window->thresholdSection()->valueLabel()->text(), "60m");
        QCOMPARE(s.window->thresholdSection()->slider()->value(), 600);
        QCOMPARE(s.store->idleThresholdSeconds(), 3600.0);
        QCOMPARE(s.fixture.defaults.writes, writes);
    }

    void longMultiLineNamesNeverPushTheButtonsOut()
    {
        Setup s({"Alpha"});
        const QString name = QString(200, QLatin1Char('W')) + "\nSecond line";
        s.fixture.bundleInfo.names.insert("/apps/Bravo.desktop", {name, name});
        s.store->addApp(QUrl::fromLocalFile("/apps/Bravo.desktop"));
        s.settle();
        const AppRow *row = s.window->appsSection()->rows().back();
        QVERIFY(!row->nameLabel()->text().contains(QLatin1Char('\n')));
        const QRect remove(row->removeButton()->mapTo(s.window.get(), QPoint()),
                           row->removeButton()->size());
        QVERIFY2(s.window->rect().contains(remove), "the remove button left the window");
    }

    void saveFailureIsShownUntilASaveSucceeds()
    {
        Setup s({"Alpha"});
        QVERIFY(s.window->saveFailureNotice()->isHidden());
        s.fixture.defaults.failWrites = true;
        s.picker.answer = {"/apps/Bravo.desktop"};
        s.window->openPicker();
        s.settle();
        QVERIFY(s.window->saveFailureNotice()->label()->text().contains("could not be saved"));
        QVERIFY(!s.window->saveFailureNotice()->isHidden());
        s.fixture.defaults.failWrites = false;
        QTest::keyClick(s.window->thresholdSection()->slider(), Qt::Key_Right);
        s.settle();
        QVERIFY(s.window->saveFailureNotice()->isHidden());
    }

    void damagedSettingsFileIsSetAsideFromTheWindow()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("Nudgewatch.conf");
        const QByteArray damaged("[General\nNudgewatch.trackedAppPaths=/apps/Alpha.desktop\n");
        {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(damaged);
        }
        SettingsDefaults defaults(file);
        Setup s({}, 60, &defaults);
        SaveFailureNotice *notice = s.window->saveFailureNotice();
        QVERIFY(!notice->isHidden());
        QVERIFY(notice->label()->text().contains(file));
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
        QCOMPARE(s.store->trackedApps().size(), 2u);
        QCOMPARE(SettingsDefaults(file).stringList(defaultsKeys::trackedAppPaths),
                 QStringList({"/apps/Alpha.desktop", "/apps/Bravo.desktop"}));
    }

    void statusRowsFollowTheTicksOnlyWhenShown()
    {
        Setup s({"Alpha", "Bravo"});
        s.fixture.workspace.tracker.frontmost = RunningApplication{"Alpha", "/apps/Alpha.desktop"};
        s.store->startMonitoring();
        s.window->close();
        s.fixture.scheduler.advance(125);
        s.settle();
        const std::vector<AppRow *> rows = s.window->appsSection()->rows();
        // Closed, it leaves the per-second work alone...
        QCOMPARE(rows[1]->statusLabel()->text(), "0s idle");
        s.window->show(); // ...and catches up when shown
        QCOMPARE(rows[0]->statusLabel()->text(), "Active");
        QCOMPARE(rows[1]->statusLabel()->text(), "2m 5s idle");
        s.fixture.scheduler.advance(1);
        QCOMPARE(s.window->appsSection()->rows(), rows); // rows stay across ticks
    }

    void keyboardReachesEveryControlInOrder()
    {
        Setup s({});
        s.picker.answer = {"/apps/Alpha.desktop"}; // a row added later joins the order
        s.window->openPicker();
        s.settle();
        s.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
        AppRow *row = s.window->appsSection()->rows()[0];
        const QList<QWidget *> order = {s.window->thresholdSection()->slider(), row->openButton(),
                                        row->removeButton(), s.window->addAction(),
                                        s.window->thresholdSection()->slider()};
        QCOMPARE(QApplication::focusWidget(), order[0]);
        for (qsizetype i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), order[i]);
        }
        QSignalSpy quit(s.window.get(), &MainWindow::quitRequested);
        QTest::keyClick(s.window.get(), Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(quit.size(), 1);
    }
};

QTEST_MAIN(MainWindowTest)
#include "settings_main_window_test.moc"
