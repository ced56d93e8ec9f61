#include "fakes/Fakes.h"
#include "settings/AppPickerDialog.h"
#include "settings/InstalledAppsModel.h"
#include "widget/settings_fakes.h"

#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

// Counts icon requests, to see that icons load only when shown.
struct CountingIcons final : IconProvider {
    QImage iconForFile(const QString &path) const override
    {
        requested.append(path);
        return FakeIcons().iconForFile(path);
    }
    mutable QStringList requested;
};

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
    CountingIcons icons;
    std::optional<AppPickerDialog> dialog;
};

QString pathOf(const QString &name)
{
    return QStringLiteral("/apps/%1.desktop").arg(name);
}

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
                 (QStringList{pathOf("Echo"), pathOf("Charlie"), pathOf("Bravo")}));
    }

    void searchKeepsChoicesAndTrackedEntriesAreNotOffered()
    {
        Picker p({"Alpha", "Bravo", "Charlie"}, 3, {pathOf("Bravo")});
        QCOMPARE(p.rows(), 2); // Alpha and Charlie, clicked below
        p.click("Alpha");
        QTest::keyClicks(p.dialog->searchField(), "CHAR");
        QCOMPARE(p.rows(), 1);
        p.click("Charlie");
        p.dialog->searchField()->clear();
        QCOMPARE(p.rows(), 2);
        QCOMPARE(p.dialog->chosenPaths(), (QStringList{pathOf("Alpha"), pathOf("Charlie")}));
    }

    void browseAddsEntriesOutsideTheMenus()
    {
        Picker p({"Alpha"}, 2);
        QTemporaryDir dir;
        const QString tool = dir.path() + "/My Tool.desktop";
        const QString other = dir.path() + "/Other.desktop";
        const QString notAnEntry = dir.path() + "/notes.txt";
        for (const QString &path : {tool, other, notAnEntry})
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        p.dialog->setBrowseFunction([&](QWidget *) {
            return QStringList{notAnEntry, tool, dir.path() + "/missing.desktop", other};
        });
        p.click("Alpha");
        p.dialog->browseButton()->click();
        // One place was left: the first browsed entry takes it, the other is listed;
        // a file that is not an entry, or is gone, is not offered.
        QCOMPARE(p.dialog->chosenPaths(), (QStringList{pathOf("Alpha"), tool}));
        QCOMPARE(p.rows(), 3);
        QCOMPARE(p.dialog->model()->index(1).data().toString(), "My Tool");
        // A catalog update keeps browsed entries and drops an uninstalled choice.
        p.catalog.install({"Zulu"});
        QCOMPARE(p.rows(), 3);
        QCOMPARE(p.dialog->chosenPaths(), QStringList{tool});
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
