// The settings window over a store of fakes: its counts, rows, slider and
// notices; while reminders are held, why, Resume for the user's pause, the
// pause menu, and a blind tracker's explanation with its setup. The window in
// the desktop's light and dark appearance and font, its reminder actions, names
// and focus, rendered offscreen; and its application picker. The threshold
// slider's grid, 30 s to 10 min in steps of 15 s, and the threshold and
// idle-time texts the window shows.
#include "fakes/Fakes.h"
#include "fakes/Files.h"
#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/freedesktop/DesktopIcons.h"
#include "platform/qt/SettingsDefaults.h"
#include "settings/AddAction.h"
#include "settings/AppPickerDialog.h"
#include "settings/ElidingLabel.h"
#include "settings/HoldNotice.h"
#include "settings/InstalledAppsModel.h"
#include "settings/PauseMenu.h"
#include "settings/ReminderActions.h"
#include "settings/SaveFailureNotice.h"
#include "settings/SettingsStyle.h"
#include "settings/StatusBar.h"
#include "settings/ThresholdScale.h"
#include "settings/ThresholdSection.h"
#include "settings/ThresholdSlider.h"
#include "settings/TitleBar.h"
#include "settings/WindowText.h"
#include "tracking/DurationFormat.h"
#include "widget/settings_fakes.h"

#include <QAccessible>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cmath>
#include <limits>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

// A shown picker over a catalog of `names`.
struct Picker {
    Picker(const QStringList &names, int limit, const QStringList &tracked = {})
    {
        catalog.install(names);
        dialog.emplace(catalog, icons, limit, tracked);
        dialog->show();
    }
    // Checks (or unchecks) the entry named `name` as a user would: a click on it.
    void click(const QString &name)
    {
        QListView *list = dialog->listView();
        const QModelIndexList found = list->model()->match(
            list->model()->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        list->scrollTo(found.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(found.first()).center());
    }
    int rows() const { return dialog->listView()->model()->rowCount(); }
    FakeApplicationCatalog catalog;
    FakeIcons icons;
    std::optional<AppPickerDialog> dialog;
};

QColor labelColor(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

QLabel *labelStarting(const QWidget *parent, const QString &start)
{
    for (QLabel *label : parent->findChildren<QLabel *>())
        if (label->text().startsWith(start))
            return label;
    return nullptr;
}

// The colour at `at` in `widget`, as the whole window draws it now.
QColor pixelIn(QWidget *window, const QWidget *widget, QPoint at)
{
    QImage image(window->size(), QImage::Format_ARGB32);
    window->render(&image);
    return image.pixelColor(widget->mapTo(window, at));
}

} // namespace

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

    // Its own native window destroyed by another client: the window is closed.
    void destroyedUnderItCountsAsClosed()
    {
        WindowRig rig({.tracked = 0});
        QSignalSpy closed(rig.window.get(), &MainWindow::closed);
        emit rig.fixture.windowSystem.windowDestroyed(rig.window->winId() + 1);
        emit rig.fixture.windowSystem.windowDestroyed(rig.window->winId());
        QTRY_COMPARE(closed.size(), 1);
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

    void checkedInOrderUpToTheLimit()
    {
        Picker p({"Alpha", "Bravo", "Charlie", "Delta", "Echo"}, 3);
        // Unchecking Alpha frees its place; Delta, a fourth, is refused.
        for (const char *name : {"Echo", "Alpha", "Alpha", "Charlie", "Bravo", "Delta"})
            p.click(name);
        QCOMPARE(p.dialog->chosenPaths(),
                 (QStringList{appPath("Echo"), appPath("Charlie"), appPath("Bravo")}));
    }

    void searchKeepsChoicesAndTrackedEntriesAreNotOffered()
    {
        Picker p({"Alpha", "Bravo", "Charlie"}, 3, {appPath("Bravo")});
        QCOMPARE(p.rows(), 2); // Alpha and Charlie, clicked below
        p.click("Alpha");
        QTest::keyClicks(p.dialog->searchField(), "CHAR");
        QCOMPARE(p.rows(), 1);
        p.click("Charlie");
        p.dialog->searchField()->clear();
        QCOMPARE(p.rows(), 2);
        QCOMPARE(p.dialog->chosenPaths(), (QStringList{appPath("Alpha"), appPath("Charlie")}));
    }

    void browseAddsEntriesOutsideTheMenus()
    {
        Picker p({"Alpha"}, 2);
        QTemporaryDir dir;
        const QString tool = dir.path() + "/My Tool.desktop";
        const QString other = dir.path() + "/Other.desktop";
        const QString notAnEntry = dir.path() + "/notes.txt";
        for (const QString &path : {tool, other, notAnEntry})
            QVERIFY(writeFile(path, {}));
        p.dialog->setBrowseFunction([&](QWidget *) {
            return QStringList{notAnEntry, tool, dir.path() + "/missing.desktop", other};
        });
        p.click("Alpha");
        p.dialog->browseButton()->click();
        // One place was left: the first browsed entry takes it, the other is listed;
        // a file that is not an entry, or is gone, is not offered.
        QCOMPARE(p.dialog->chosenPaths(), (QStringList{appPath("Alpha"), tool}));
        QCOMPARE(p.rows(), 3);
        QCOMPARE(p.dialog->model()->index(1).data().toString(), "My Tool");
        // A catalog update keeps browsed entries and drops an uninstalled choice.
        p.catalog.install({"Zulu"});
        QCOMPARE(p.rows(), 3);
        QCOMPARE(p.dialog->chosenPaths(), QStringList{tool});
        // It opens in an applications folder that exists.
        QCOMPARE(AppPickerDialog::browseFolder({tool, dir.path() + "/none", dir.path()}),
                 dir.path());
        QCOMPARE(AppPickerDialog::browseFolder({}), "/usr/share/applications");
    }

    // A looping cache in the user's own hicolor folder hangs Qt's theme loader:
    // Qt is handed only the search paths whose caches are sound, so the picker's
    // search field (its clear button is a theme icon) never reaches it, while
    // the "Browse…" dialog shows a sound theme's icons. QtTest's watchdog
    // (QTEST_FUNCTION_TIMEOUT) fails the test where it would hang.
    void qtReadsOnlySoundIconFolders()
    {
        QTemporaryDir data;
        const QString hicolor = data.filePath("icons/hicolor");
        const QByteArray folder = "Directories=16x16/actions\n[16x16/actions]\nSize=16\n";
        QVERIFY(writeFile(hicolor + "/index.theme", "[Icon Theme]\n" + folder));
        // One icon whose hash chain leads back to itself: a look-up for any other
        // name never leaves the chain unless it counts.
        QVERIFY(writeFile(hicolor + "/icon-theme.cache", smallestIconIndex(20)));
        const QString sound = data.filePath("sound"), theme = sound + "/nwsound";
        QVERIFY(writeFile(theme + "/index.theme", "[Icon Theme]\nInherits=hicolor\n" + folder));
        QImage magenta(16, 16, QImage::Format_ARGB32);
        magenta.fill(Qt::magenta);
        QVERIFY(QDir().mkpath(theme + "/16x16/actions") &&
                magenta.save(theme + "/16x16/actions/go-up.png"));
        QCOMPARE(QProcess::execute("gtk-update-icon-cache", {"--force", "--quiet", theme}), 0);
        QIcon::setThemeSearchPaths({data.filePath("icons")});
        QIcon::setThemeName("hicolor");
        const DesktopEntryRegistry entries;
        DesktopIcons icons(entries, IconLookup{"nwsound", {data.filePath("icons"), sound}, {}});
        icons.setThemeDeferred(false);
        QCOMPARE(QIcon::themeSearchPaths(), QStringList{sound});
        Picker p({"Alpha", "Bravo"}, 2);
        QTest::keyClicks(p.dialog->searchField(), "al");
        p.dialog->grab();
        QCOMPARE(p.rows(), 1);
        QVERIFY(QIcon::fromTheme("edit-clear").isNull());
        QFileDialog browse;
        browse.setOption(QFileDialog::DontUseNativeDialog);
        const auto *up = browse.findChild<QToolButton *>("toParentButton");
        QVERIFY(up);
        QCOMPARE(up->icon().pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::magenta));
    }

    void iconsLoadLazily()
    {
        QStringList names;
        for (int i = 0; i < 300; ++i)
            names.append(QStringLiteral("App%1").arg(i, 3, 10, QLatin1Char('0')));
        Picker p(names, 5);
        p.dialog->listView()->viewport()->grab();
        QVERIFY(!p.icons.requested.isEmpty());
        QCOMPARE_LT(p.icons.requested.size(), 60);
    }

    // The neutral colours follow the scheme, live; the named ones never move.
    // Tab reaches every control in reading order, a row added later and the
    // pause button included, and shows a 2-pixel ring in the highlight colour.
    void bothAppearances_data()
    {
        QTest::addColumn<ColorScheme>("scheme");
        QTest::addColumn<bool>("darkBackground");
        QTest::newRow("light") << ColorScheme::Light << false;
        QTest::newRow("dark") << ColorScheme::Dark << true;
    }
    void bothAppearances()
    {
        QFETCH(ColorScheme, scheme);
        QFETCH(bool, darkBackground);
        // Built in the other scheme, then switched: what a live change does.
        WindowRig rig(
            {.tracked = 1,
             .scheme = scheme == ColorScheme::Dark ? ColorScheme::Light : ColorScheme::Dark});
        rig.picker.answer = {"/apps/Bravo.desktop"};
        rig.window->openPicker();
        QCoreApplication::processEvents();
        rig.appearance.setScheme(scheme);
        QCOMPARE(rig.window->colorScheme(), scheme);

        QWidget *window = rig.window.get();
        const QColor background = pixelIn(window, window, QPoint(window->width() - 3, 80));
        QCOMPARE(background.lightness() < 80, darkBackground);
        QCOMPARE(background.lightness() > 200, !darkBackground);

        // Texts: primary at full strength, secondary at 60 %, in the scheme's colour.
        TitleBar *title = rig.window->titleBar();
        QLabel *name = labelStarting(title, "Nudgewatch"),
               *subtitle = labelStarting(title, "Track");
        QVERIFY(name && subtitle);
        const QColor primary = labelColor(name);
        QCOMPARE(primary.lightness() > 200, darkBackground);
        QCOMPARE(primary.alphaF(), 1.0);
        QCOMPARE(labelColor(subtitle).rgb(), primary.rgb());
        QVERIFY(qAbs(labelColor(subtitle).alphaF() - 0.6) < 0.01);
        AppRow *alpha = rig.row(0), *bravo = rig.row(1); // Bravo added after the window was built
        QCOMPARE(labelColor(bravo->nameLabel()).rgb(), primary.rgb());
        QCOMPARE(labelColor(bravo->statusLabel()).rgb(), primary.rgb());

        // Named colours: the monitoring green, the add action's blue to purple.
        QCOMPARE(labelColor(title->statusLabel()), style::green);
        AddAction *add = rig.window->addAction();
        const QColor left = pixelIn(window, add, QPoint(4, add->height() / 2));
        const QColor right = pixelIn(window, add, QPoint(add->width() - 5, add->height() / 2));
        QVERIFY2(qAbs(left.red() - style::blue.red()) < 12 && qAbs(left.blue() - 255) < 12,
                 qPrintable(left.name()));
        QVERIFY2(qAbs(right.red() - style::purple.red()) < 12 &&
                     qAbs(right.green() - style::purple.green()) < 12,
                 qPrintable(right.name()));
        QWidget *slider = rig.window->thresholdSection()->slider();
        QCOMPARE(slider->palette().color(QPalette::Highlight), style::blue);

        // Names and the keyboard.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(alpha->openButton()->accessibleName(), QStringLiteral("Open Alpha"));
        QCOMPARE(bravo->removeButton()->accessibleName(), QStringLiteral("Stop tracking Bravo"));
        QCOMPARE(bravo->removeButton()->toolTip(), QStringLiteral("Stop tracking Bravo"));
        QCOMPARE(QApplication::focusWidget(), slider);
        const QWidgetList order{alpha->openButton(),
                                alpha->removeButton(),
                                bravo->openButton(),
                                bravo->removeButton(),
                                rig.window->addAction(),
                                rig.window->pauseButton(),
                                slider};
        const QColor highlight = window->palette().color(QPalette::Highlight);
        for (QWidget *next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
            // The ring's middle row, halfway along the top edge, in the highlight colour.
            const QColor ring = pixelIn(window, next, QPoint(next->width() / 2, 1));
            QVERIFY2(qAbs(ring.red() - highlight.red()) < 40 &&
                         qAbs(ring.green() - highlight.green()) < 40 &&
                         qAbs(ring.blue() - highlight.blue()) < 40,
                     qPrintable(next->accessibleName() + " " + ring.name()));
        }
        QSignalSpy quit(rig.window.get(), &MainWindow::quitRequested);
        QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(quit.size(), 1);
    }

    // The desktop's font, known when the window is built or told later (the
    // portal answers later) and changed live: every size set follows, the
    // window grows, and every text still fits in its place at the narrowest
    // width, on one line or wrapped.
    void fontFollowedAndEveryTextWhole_data()
    {
        QTest::addColumn<double>("built");
        QTest::addColumn<double>("scale"); // told afterwards, with another family
        QTest::addColumn<QSize>("size");   // within the 800 x 800 screen, unless its text is wider
        QTest::newRow("default") << 1.0 << 1.0 << QSize(520, 560);
        QTest::newRow("1.5 times, later") << 1.0 << 1.5 << QSize(780, 800);
        QTest::newRow("twice") << 2.0 << 2.0 << QSize(800, 800);
        QTest::newRow("twice, then back") << 2.0 << 1.0 << QSize(520, 560);
    }
    void fontFollowedAndEveryTextWhole()
    {
        QFETCH(double, built);
        QFETCH(double, scale);
        QFETCH(QSize, size);
        WindowRig rig({.fontScale = built});
        QLabel *status = rig.window->titleBar()->statusLabel();
        QCOMPARE(status->font().pixelSize(), qRound(10 * built));
        rig.appearance.font = {QStringLiteral("DejaVu Serif"), 10 * scale, 10};
        emit rig.appearance.interfaceFontChanged(rig.appearance.font);
        QCOMPARE(status->font().pixelSize(), qRound(10 * scale));
        QCOMPARE(rig.row(0)->nameLabel()->font().pixelSize(), qRound(14 * scale));
        QCOMPARE(status->font().family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(rig.window->titleBar()->countLabel()->font().families(), // its own face
                 QFontDatabase::systemFont(QFontDatabase::FixedFont).families());
        QCOMPARE(rig.window->size(), size.expandedTo(rig.window->minimumSize()));
        rig.remind();
        rig.window->resize(rig.window->minimumSize()); // the narrowest the user can make it
        QCoreApplication::processEvents();
        int checked = 0;
        for (QLabel *label : rig.window->findChildren<QLabel *>()) {
            if (!label->isVisibleTo(rig.window.get()) || label->text().isEmpty() ||
                qobject_cast<ElidingLabel *>(label))
                continue;
            const QFontMetrics metrics(label->font());
            const QRect needed =
                label->wordWrap()
                    ? metrics.boundingRect(QRect(0, 0, label->width(), 100000), Qt::TextWordWrap,
                                           label->text())
                    : QRect(0, 0, metrics.horizontalAdvance(label->text()), metrics.height());
            QVERIFY2(needed.width() <= label->width() && needed.height() <= label->height(),
                     qPrintable(label->text()));
            ++checked;
        }
        QCOMPARE_GE(checked, 10);
        for (QPushButton *button : rig.window->findChildren<QPushButton *>()) {
            if (button->isVisibleTo(rig.window.get()))
                QCOMPARE_GE(button->width(), button->sizeHint().width());
        }
    }

    // While a reminder shows, the window and the top of the tray's menu offer
    // what the card does; each ends it, and a late one from a menu left open is harmless.
    void reminderActionsEndTheReminder_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("snooze");
        QTest::newRow("window, Snooze") << false << true;
        QTest::newRow("window, Open") << false << false;
        QTest::newRow("tray, Snooze") << true << true;
        QTest::newRow("tray, Open") << true << false;
    }
    void reminderActionsEndTheReminder()
    {
        QFETCH(bool, tray);
        QFETCH(bool, snooze);
        WindowRig rig;
        QMenu menu;
        QAction *settings = menu.addAction(QStringLiteral("Settings\u2026"));
        ReminderMenuEntries entries(*rig.store, menu);
        ReminderActions *actions = rig.window->reminderActions();
        const auto offered = [&] {
            return QList<bool>{actions->isVisibleTo(rig.window.get()),
                               entries.openAction()->isVisible(),
                               entries.snoozeAction()->isVisible()};
        };
        QCOMPARE(menu.actions().indexOf(settings), 3);
        QCOMPARE(offered(), QList<bool>(3, false));
        rig.remind();
        QVERIFY(rig.store->alertApp());
        QCOMPARE(offered(), QList<bool>(3, true));
        QCOMPARE(actions->openButton()->accessibleName(), QStringLiteral("Open Bravo"));
        QCOMPARE(actions->snoozeButton()->accessibleName(), QStringLiteral("Snooze"));
        QCOMPARE(actions->messageLabel()->text(), rig.store->alertMessage());
        QCOMPARE(entries.openAction()->text(), QStringLiteral("Open Bravo"));
        QCOMPARE(menu.actions().indexOf(entries.openAction()), 0);
        const auto before = rig.store->trackedApps()[1].lastUsed;
        if (tray)
            (snooze ? entries.snoozeAction() : entries.openAction())->trigger();
        else
            QTest::mouseClick(snooze ? actions->snoozeButton() : actions->openButton(),
                              Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!rig.store->alertApp());
        QCOMPARE(rig.store->trackedApps()[1].lastUsed != before, snooze);
        QCOMPARE(rig.fixture.workspace.opener.opened,
                 QStringList(snooze ? 0 : 1, QStringLiteral("/apps/Bravo.desktop")));
        QCOMPARE(offered(), QList<bool>(3, false));
        entries.snoozeAction()->trigger();
        QVERIFY(!rig.store->alertApp());
        QCOMPARE(rig.store->trackedApps()[1].lastUsed != before, snooze);
    }

    // Every value a drag can produce is 30 + 15k within 30...600: 39 positions.
    void everyPositionIsOnTheGrid()
    {
        QSet<int> positions;
        for (int raw : {std::numeric_limits<int>::min(), std::numeric_limits<int>::max()})
            positions.insert(thresholdScale::snapped(raw));
        QCOMPARE(positions, (QSet<int>{30, 600}));
        for (int raw = -100; raw <= 800; ++raw) {
            const int value = thresholdScale::snapped(raw);
            QVERIFY2(value >= 30 && value <= 600 && (value - 30) % 15 == 0,
                     qPrintable(QString::number(value)));
            positions.insert(value);
        }
        QCOMPARE(positions.size(), 39);
        QCOMPARE(thresholdScale::snapped(37), 30);
        QCOMPARE(thresholdScale::snapped(38), 45); // halves round up
    }

    // A stored threshold's slider position, and its text; the idle text shares its rules.
    void positionAndText_data()
    {
        QTest::addColumn<bool>("idle");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("position"); // on the slider, for a threshold
        QTest::addColumn<QString>("text");
        const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
        QTest::newRow("135") << false << 135.0 << 135 << "2m 15s";
        QTest::newRow("off grid, truncated") << false << 59.9 << 60 << "59s";
        QTest::newRow("above range, no hours") << false << 3600.0 << 600 << "60m";
        QTest::newRow("below range") << false << 2.0 << 30 << "2s";
        QTest::newRow("negative shows zero") << false << -5.0 << 30 << "0s";
        QTest::newRow("not a number") << false << nan << 30 << QStringLiteral("\u2014");
        QTest::newRow("infinity") << false << inf << 600 << QStringLiteral("\u221e");
        QTest::newRow("beyond 64 bits saturates")
            << false << 1e300 << 600 << "153722867280912930m 7s"; // (2^63 - 1) s
        QTest::newRow("idle 42") << true << 42.0 << 0 << "42s idle";
        QTest::newRow("idle 60") << true << 60.0 << 0 << "1m 0s idle";
        QTest::newRow("idle, clock went back") << true << -3.0 << 0 << "0s idle";
        QTest::newRow("idle not a number") << true << nan << 0 << QStringLiteral("\u2014");
        QTest::newRow("idle infinity") << true << inf << 0 << QStringLiteral("\u221e idle");
    }
    void positionAndText()
    {
        QFETCH(bool, idle);
        QFETCH(double, seconds);
        QFETCH(int, position);
        QFETCH(QString, text);
        QCOMPARE(idle ? formatIdleTime(seconds) : formatThreshold(seconds), text);
        if (!idle)
            QCOMPARE(thresholdScale::positionFor(seconds), position);
    }
};

QTEST_MAIN(MainWindowTest)
#include "settings_main_window_test.moc"
