#include "fakes/Fakes.h"
#include "settings/AddAction.h"
#include "settings/AppRow.h"
#include "settings/AppsSection.h"
#include "settings/MainWindow.h"
#include "settings/SettingsStyle.h"
#include "settings/StatusBar.h"
#include "settings/Symbol.h"
#include "settings/ThresholdSection.h"
#include "settings/TitleBar.h"
#include "widget/settings_fakes.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

const QStringList fiveApps = {"Alpha", "Bravo", "Charlie", "Delta", "Echo"};

// Every label text in the window, in layout order.
QStringList labelTexts(const QWidget &window)
{
    QStringList texts;
    for (const QLabel *label : window.findChildren<QLabel *>())
        if (label->isVisibleTo(&window))
            texts.append(label->text());
    return texts;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    struct Setup {
        StoreFixture fixture;
        ScriptedPicker picker;
        std::unique_ptr<AppTrackerStore> store;
        std::unique_ptr<MainWindow> window;

        explicit Setup(const QStringList &tracked, double threshold = 60)
        {
            fixture.install(fiveApps + QStringList{"Foxtrot", "Golf"});
            QStringList paths;
            for (const QString &name : tracked)
                paths.append(QStringLiteral("/apps/%1.desktop").arg(name));
            fixture.defaults.values.insert(defaultsKeys::trackedAppPaths, paths);
            fixture.defaults.values.insert(defaultsKeys::idleThreshold, threshold);
            store = fixture.makeStore();
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
        QTest::addColumn<QColor>("dot");
        QTest::addColumn<QString>("titleCount");
        QTest::addColumn<QString>("headerCount");
        QTest::addColumn<bool>("emptyShown");
        QTest::addColumn<bool>("addShown");
        QTest::newRow("none") << QStringList{} << "Not Tracking" << style::gray << "0/5 apps"
                              << "" << true << true;
        QTest::newRow("one") << QStringList{"Alpha"} << "Monitoring" << style::green << "1/5 apps"
                             << "1 of 5" << false << true;
        QTest::newRow("four") << fiveApps.mid(0, 4) << "Monitoring" << style::green << "4/5 apps"
                              << "4 of 5" << false << true;
        QTest::newRow("five") << fiveApps << "Monitoring" << style::green << "5/5 apps"
                              << "5 of 5" << false << false;
    }
    void countsAndTexts()
    {
        QFETCH(QStringList, tracked);
        QFETCH(QString, status);
        QFETCH(QColor, dot);
        QFETCH(QString, titleCount);
        QFETCH(QString, headerCount);
        QFETCH(bool, emptyShown);
        QFETCH(bool, addShown);

        Setup s(tracked);
        TitleBar *title = s.window->titleBar();
        QCOMPARE(title->statusLabel()->text(), status);
        QCOMPARE(title->statusDot()->color(), dot);
        QCOMPARE(title->countLabel()->text(), titleCount);
        AppsSection *apps = s.window->appsSection();
        QCOMPARE(apps->countLabel()->isVisibleTo(s.window.get()), !headerCount.isEmpty());
        if (!headerCount.isEmpty())
            QCOMPARE(apps->countLabel()->text(), headerCount);
        QCOMPARE(apps->emptyState()->isVisibleTo(s.window.get()), emptyShown);
        QCOMPARE(int(apps->rows().size()), int(tracked.size()));
        for (std::size_t i = 0; i < apps->rows().size(); ++i)
            QCOMPARE(apps->rows()[i]->nameLabel()->text(), tracked[int(i)]);
        QCOMPARE(s.window->addAction()->isVisibleTo(s.window.get()), addShown);

        const QStringList texts = labelTexts(*s.window);
        QVERIFY(texts.contains("Nudgewatch"));
        QVERIFY(texts.contains("Track your apps. Get notified when they need you."));
        QVERIFY(texts.contains("Notch monitoring active"));
        QVERIFY(texts.contains(QStringLiteral("Close this window \u2014 the notch keeps running")));
        QVERIFY(texts.contains("Idle Threshold"));
        QVERIFY(texts.contains("Tracked Apps"));
        QCOMPARE(texts.contains("No apps tracked yet"), emptyShown);
        QCOMPARE(texts.contains(
                     "Click the + button below to pick apps from your installed applications"),
                 emptyShown);
    }

    void windowOpensAtItsDefaultSize()
    {
        Setup s({});
        QCOMPARE(s.window->size(), QSize(520, 560));
        QVERIFY(s.window->minimumSizeHint().width() <= 520);
    }

    void statusRowShowsActiveOrIdleTime()
    {
        Setup s({"Alpha", "Bravo"});
        s.fixture.workspace.frontmost = RunningApplication{"Alpha", "/apps/Alpha.desktop"};
        s.store->startMonitoring();
        s.fixture.scheduler.advance(125);
        s.settle();
        const auto &rows = s.window->appsSection()->rows();
        QCOMPARE(rows[0]->statusLabel()->text(), "Active");
        QCOMPARE(rows[1]->statusLabel()->text(), "2m 5s idle");
    }

    void removeCallsTheStoreOnceWithTheRowsRecord()
    {
        Setup s({"Alpha", "Bravo"});
        const QUuid bravo = s.store->trackedApps()[1].id;
        const int writesBefore = s.fixture.defaults.writes;
        QTest::mouseClick(s.window->appsSection()->rows()[1]->removeButton(), Qt::LeftButton);
        QCOMPARE(s.fixture.defaults.writes, writesBefore + 1);
        QCOMPARE(s.fixture.defaults.values.value(defaultsKeys::trackedAppPaths).toStringList(),
                 QStringList{"/apps/Alpha.desktop"});
        QVERIFY(std::none_of(s.store->trackedApps().begin(), s.store->trackedApps().end(),
                             [&](const TrackedApp &app) { return app.id == bravo; }));
        s.settle();
        QCOMPARE(s.window->appsSection()->rows().size(), std::size_t(1));
        QCOMPARE(s.window->appsSection()->countLabel()->text(), "1 of 5");
    }

    void removingTheLastShowsTheEmptyState()
    {
        Setup s({"Alpha"});
        QTest::mouseClick(s.window->appsSection()->rows()[0]->removeButton(), Qt::LeftButton);
        s.settle();
        QVERIFY(s.window->appsSection()->emptyState()->isVisibleTo(s.window.get()));
        QVERIFY(!s.window->appsSection()->countLabel()->isVisibleTo(s.window.get()));
        QCOMPARE(s.window->titleBar()->statusLabel()->text(), "Not Tracking");
        QVERIFY(labelTexts(*s.window).contains("Notch monitoring active"));
    }

    void openCallsTheStoreWithTheRowsRecord()
    {
        Setup s({"Alpha", "Bravo", "Charlie"});
        QTest::mouseClick(s.window->appsSection()->rows()[2]->openButton(), Qt::LeftButton);
        QCOMPARE(s.fixture.workspace.opened, QStringList{"/apps/Charlie.desktop"});
        s.settle();
        QCOMPARE(s.window->appsSection()->rows().size(), std::size_t(3));
    }

    void buttonsAreNamedByTheirTooltips()
    {
        Setup s({"Alpha"});
        AppRow *row = s.window->appsSection()->rows()[0];
        QCOMPARE(row->openButton()->toolTip(), "Open this app");
        QCOMPARE(row->openButton()->accessibleName(), "Open this app");
        QCOMPARE(row->removeButton()->toolTip(), "Stop tracking");
        QCOMPARE(row->removeButton()->accessibleName(), "Stop tracking");
        QAccessibleInterface *add = QAccessible::queryAccessibleInterface(s.window->addAction());
        QCOMPARE(add->text(QAccessible::Name), "Add Application");
        QAccessibleInterface *slider =
            QAccessible::queryAccessibleInterface(s.window->thresholdSection()->slider());
        QCOMPARE(slider->valueInterface()->currentValue().toInt(), 60);
    }

    void pickerGetsTheFreePlacesAndAddsInItsOrder()
    {
        Setup s({"Alpha", "Bravo"});
        s.picker.answer = {"/apps/Echo.desktop", "/apps/Charlie.desktop", "/apps/Delta.desktop"};
        QTest::mouseClick(s.window->addAction(), Qt::LeftButton);
        QCOMPARE(s.picker.calls, 1);
        QCOMPARE(s.picker.lastLimit, 3);
        QCOMPARE(s.picker.lastTracked, (QStringList{"/apps/Alpha.desktop", "/apps/Bravo.desktop"}));
        QCOMPARE(s.fixture.defaults.values.value(defaultsKeys::trackedAppPaths).toStringList(),
                 (QStringList{"/apps/Alpha.desktop", "/apps/Bravo.desktop", "/apps/Echo.desktop",
                              "/apps/Charlie.desktop", "/apps/Delta.desktop"}));
        s.settle();
        QVERIFY(!s.window->addAction()->isVisibleTo(s.window.get()));
    }

    void cancelledPickerChangesNothing()
    {
        Setup s({"Alpha"});
        s.picker.cancel = true;
        const int writes = s.fixture.defaults.writes;
        s.window->openPicker();
        s.settle();
        QCOMPARE(s.fixture.defaults.writes, writes);
        QCOMPARE(s.window->appsSection()->rows().size(), std::size_t(1));
    }

    void addActionWorksFromTheKeyboard()
    {
        Setup s({});
        s.window->addAction()->setFocus();
        QTest::keyClick(s.window->addAction(), Qt::Key_Space);
        QCOMPARE(s.picker.calls, 1);
    }

    void sliderWritesEveryGridPosition_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("presses");
        QTest::addColumn<QList<double>>("written");
        QTest::addColumn<QString>("label");
        QTest::newRow("right twice")
            << int(Qt::Key_Right) << 2 << QList<double>{75, 90} << "1m 30s";
        QTest::newRow("left at the start")
            << int(Qt::Key_Left) << 3 << QList<double>{45, 30} << "30s";
        QTest::newRow("end") << int(Qt::Key_End) << 1 << QList<double>{600} << "10m";
    }
    void sliderWritesEveryGridPosition()
    {
        QFETCH(int, key);
        QFETCH(int, presses);
        QFETCH(QList<double>, written);
        QFETCH(QString, label);
        Setup s({});
        QList<double> seen;
        connect(s.store.get(), &AppTrackerStore::objectWillChange, this, [&] {
            QTimer::singleShot(0, [&] { seen.append(s.store->idleThresholdSeconds()); });
        });
        ThresholdSlider *slider = s.window->thresholdSection()->slider();
        for (int i = 0; i < presses; ++i) {
            QTest::keyClick(slider, Qt::Key(key));
            s.settle();
        }
        QCOMPARE(seen, written);
        QCOMPARE(s.fixture.defaults.values.value(defaultsKeys::idleThreshold).toDouble(),
                 written.last());
        QCOMPARE(s.window->thresholdSection()->valueLabel()->text(), label);
    }

    void draggingSnapsToTheGrid()
    {
        Setup s({});
        ThresholdSlider *slider = s.window->thresholdSection()->slider();
        QList<int> chosen;
        connect(slider, &ThresholdSlider::thresholdChosen, this, [&](int v) { chosen.append(v); });
        for (int raw : {61, 67, 68, 200, 599})
            slider->setValue(raw);                    // what a drag reports, pixel by pixel
        QCOMPARE(chosen, (QList<int>{75, 195, 600})); // 61 is still the stored 60
        QCOMPARE(s.store->idleThresholdSeconds(), 600.0);
    }

    void storedValueOutsideTheRangeIsShownNotRewritten_data()
    {
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("handle");
        QTest::newRow("an hour") << 3600.0 << "60m" << 600;
        QTest::newRow("off grid") << 59.9 << "59s" << 60;
        QTest::newRow("short") << 2.0 << "2s" << 30;
    }
    void storedValueOutsideTheRangeIsShownNotRewritten()
    {
        QFETCH(double, stored);
        QFETCH(QString, label);
        QFETCH(int, handle);
        Setup s({}, stored);
        const int writes = s.fixture.defaults.writes;
        s.settle();
        QCOMPARE(s.window->thresholdSection()->valueLabel()->text(), label);
        QCOMPARE(s.window->thresholdSection()->slider()->value(), handle);
        QCOMPARE(s.store->idleThresholdSeconds(), stored);
        QCOMPARE(s.fixture.defaults.writes, writes);
    }

    void longOrMultiLineNamesNeverPushTheButtonsOut_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("200 characters") << QString(200, QLatin1Char('W'));
        QTest::newRow("line breaks") << QStringLiteral("First line\nSecond line\tand a tab");
    }
    void longOrMultiLineNamesNeverPushTheButtonsOut()
    {
        QFETCH(QString, name);
        Setup s({"Alpha"});
        s.fixture.bundleInfo.names.insert("/apps/Bravo.desktop", {name, name});
        s.store->addApp(QUrl::fromLocalFile("/apps/Bravo.desktop"));
        s.settle();
        s.window->resize(520, 560);
        s.settle();
        const AppRow *row = s.window->appsSection()->rows().back();
        QCOMPARE(row->nameLabel()->text().contains(QLatin1Char('\n')), false);
        QCOMPARE(row->nameLabel()->height(),
                 s.window->appsSection()->rows().front()->nameLabel()->height());
        const QRect remove(row->removeButton()->mapTo(s.window.get(), QPoint()),
                           row->removeButton()->size());
        QVERIFY2(s.window->rect().contains(remove), "the remove button left the window");
        QVERIFY(s.window->width() <= 520);
    }

    void pressingTheEndTheHandleShowsWritesIt_data()
    {
        QTest::addColumn<double>("stored");
        QTest::addColumn<int>("key");
        QTest::addColumn<double>("written");
        QTest::newRow("an hour, End") << 3600.0 << int(Qt::Key_End) << 600.0;
        QTest::newRow("2 s, Home") << 2.0 << int(Qt::Key_Home) << 30.0;
    }
    void pressingTheEndTheHandleShowsWritesIt()
    {
        QFETCH(double, stored);
        QFETCH(int, key);
        QFETCH(double, written);
        Setup s({}, stored);
        s.settle();
        QTest::keyClick(s.window->thresholdSection()->slider(), Qt::Key(key));
        s.settle();
        QCOMPARE(s.store->idleThresholdSeconds(), written);
        QCOMPARE(s.fixture.defaults.values.value(defaultsKeys::idleThreshold).toDouble(), written);
    }

    void saveFailureIsShownUntilASaveSucceeds()
    {
        Setup s({"Alpha"});
        QVERIFY(s.window->saveFailureNotice()->isHidden());
        s.fixture.defaults.failWrites = true;
        s.picker.answer = {"/apps/Bravo.desktop"};
        s.window->openPicker();
        QVERIFY(!s.window->saveFailureNotice()->isHidden());
        QVERIFY(s.window->saveFailureNotice()->text().contains("could not be saved"));
        s.settle();
        QVERIFY(!s.window->saveFailureNotice()->isHidden());
        s.fixture.defaults.failWrites = false;
        QTest::keyClick(s.window->thresholdSection()->slider(), Qt::Key_Right);
        s.settle();
        QVERIFY(s.window->saveFailureNotice()->isHidden());
    }

    void hoverHighlightsOneRowAndFades()
    {
        Setup s({"Alpha", "Bravo"});
        const auto &rows = s.window->appsSection()->rows();
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(rows[0], &enter);
        QCOMPARE(s.window->appsSection()->hoveredAppId(), std::optional(rows[0]->app().id));
        QVERIFY(rows[0]->isHovered());
        QVERIFY(!rows[1]->isHovered());
        QTRY_COMPARE_WITH_TIMEOUT(rows[0]->backgroundOpacity(), AppRow::hoveredOpacity, 1000);
        QCOMPARE(rows[1]->backgroundOpacity(), AppRow::restingOpacity);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(rows[0], &leave);
        QCOMPARE(s.window->appsSection()->hoveredAppId(), std::nullopt);
        QTest::qWait(AppRow::hoverMilliseconds / 3);
        QVERIFY(rows[0]->backgroundOpacity() > AppRow::restingOpacity); // still fading
        QTRY_COMPARE_WITH_TIMEOUT(rows[0]->backgroundOpacity(), AppRow::restingOpacity, 1000);
    }

    void tickKeepsRowsAndHover()
    {
        Setup s({"Alpha"});
        s.store->startMonitoring();
        AppRow *row = s.window->appsSection()->rows()[0];
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(row, &enter);
        s.fixture.scheduler.advance(3);
        s.settle();
        QCOMPARE(s.window->appsSection()->rows()[0], row);
        QVERIFY(row->isHovered());
    }

    void closedWindowCatchesUpWhenShown()
    {
        Setup s({"Alpha"});
        s.store->startMonitoring();
        s.settle();
        QCOMPARE(s.window->appsSection()->rows()[0]->statusLabel()->text(), "0s idle");
        s.window->close();
        s.fixture.scheduler.advance(125);
        s.settle();
        // Closed, it leaves the per-second work alone...
        QCOMPARE(s.window->appsSection()->rows()[0]->statusLabel()->text(), "0s idle");
        s.window->show(); // ...and catches up when shown
        QCOMPARE(s.window->appsSection()->rows()[0]->statusLabel()->text(), "2m 5s idle");
    }

    void keyboardReachesEveryControlInOrder_data()
    {
        QTest::addColumn<bool>("addedLater");
        QTest::newRow("rows from the start") << false;
        QTest::newRow("row added later") << true;
    }
    void keyboardReachesEveryControlInOrder()
    {
        QFETCH(bool, addedLater);
        Setup s(addedLater ? QStringList{} : QStringList{"Alpha"});
        if (addedLater) {
            s.picker.answer = {"/apps/Alpha.desktop"};
            s.window->openPicker();
            s.settle();
        }
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
    }

    void ctrlQAsksToQuit()
    {
        Setup s({});
        QSignalSpy quit(s.window.get(), &MainWindow::quitRequested);
        s.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
        QTest::keyClick(s.window.get(), Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(quit.size(), 1);
    }

    void symbolsRenderTinted()
    {
        const QImage image = symbols::tinted("circle.fill", 16, style::green).toImage();
        QVERIFY(!image.isNull());
        QCOMPARE(image.pixelColor(8, 8), style::green);
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        QVERIFY(symbols::tinted("no.such.symbol", 16, Qt::red).isNull());
        for (const char *name : {"bell.badge.fill", "clock.badge", "app.badge.fill",
                                 "tray.and.arrow.down.fill", "clock", "arrow.up.forward.app.fill",
                                 "xmark.circle.fill", "plus.circle.fill", "bell.fill"})
            QVERIFY2(!symbols::tinted(name, 16, Qt::red).isNull(), name);
    }
};

QTEST_MAIN(MainWindowTest)
#include "settings_main_window_test.moc"
