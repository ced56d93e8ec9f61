#include "fakes/Fakes.h"
#include "fakes/Files.h"
#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/freedesktop/DesktopIcons.h"
#include "settings/AppPickerDialog.h"
#include "settings/InstalledAppsModel.h"
#include "widget/settings_fakes.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

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

} // namespace

class AppPickerTest : public QObject {
    Q_OBJECT
private slots:
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

    // A looping cache in the user's own hicolor folder hangs Qt's theme loader;
    // with the program's icons set up, the picker and its search field (whose
    // clear button is a theme icon) never reach it. QtTest's watchdog
    // (QTEST_FUNCTION_TIMEOUT) fails the test where it would hang.
    void loopingIconCacheDoesNotHangThePicker()
    {
        QTemporaryDir data;
        const QString hicolor = data.filePath("icons/hicolor");
        QVERIFY(writeFile(hicolor + "/index.theme",
                          "[Icon Theme]\nName=Hicolor\n"
                          "Directories=48x48/apps\n[48x48/apps]\nSize=48\n"));
        // One icon whose hash chain leads back to itself: a look-up for any other
        // name never leaves the chain unless it counts.
        QVERIFY(writeFile(hicolor + "/icon-theme.cache", smallestIconIndex(20)));
        // Where Qt looks by default when XDG_DATA_HOME is `data`.
        QIcon::setThemeSearchPaths({data.filePath("icons")});
        QIcon::setThemeName("hicolor");
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
        const DesktopEntryRegistry entries{QStringList()};
        DesktopIcons icons(entries, IconLookup::forDesktop());
        Picker p({"Alpha", "Bravo"}, 2);
        QTest::keyClicks(p.dialog->searchField(), "al");
        p.dialog->grab();
        QCOMPARE(p.rows(), 1);
        QVERIFY(QIcon::fromTheme("edit-clear").isNull());
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
};

QTEST_MAIN(AppPickerTest)
#include "settings_app_picker_test.moc"
