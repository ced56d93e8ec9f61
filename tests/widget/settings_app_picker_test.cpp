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

QList<InstalledApplication> catalogOf(const QStringList &names)
{
    QList<InstalledApplication> list;
    for (const QString &name : names)
        list.append(installedApplication(name));
    return list;
}

// A picker over a catalog of `names`, shown.
struct Picker {
    Picker(const QStringList &names, int limit, const QStringList &tracked = {})
    {
        catalog.applications = catalogOf(names);
        dialog.emplace(catalog, icons, limit, tracked);
        dialog->show();
    }
    FakeApplicationCatalog catalog;
    FakeIcons icons;
    std::optional<AppPickerDialog> dialog;
};

QString pathOf(const QString &name)
{
    return QStringLiteral("/apps/%1.desktop").arg(name);
}

// Counts icon requests, to see that icons load only when shown.
class CountingIcons final : public IconProvider {
public:
    QImage iconForFile(const QString &path) const override
    {
        requested.append(path);
        QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::darkMagenta);
        return image;
    }
    mutable QStringList requested;
};

// Checks (or unchecks) the entry named `name` as a user would: a click on it.
void clickEntry(AppPickerDialog &dialog, const QString &name)
{
    QListView *list = dialog.listView();
    const QModelIndexList found = list->model()->match(list->model()->index(0, 0), Qt::DisplayRole,
                                                       name, 1, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(name));
    list->scrollTo(found.first());
    const QRect rect = list->visualRect(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

class AppPickerTest : public QObject {
    Q_OBJECT
private slots:
    void checkedInOrderUpToTheLimit_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QStringList>("chosen");
        QTest::newRow("fourth refused at three")
            << 3 << QStringList{"Echo", "Alpha", "Charlie", "Bravo"}
            << QStringList{pathOf("Echo"), pathOf("Alpha"), pathOf("Charlie")};
        QTest::newRow("unchecking frees a place")
            << 2 << QStringList{"Alpha", "Bravo", "Alpha", "Delta"}
            << QStringList{pathOf("Bravo"), pathOf("Delta")};
    }
    void checkedInOrderUpToTheLimit()
    {
        QFETCH(int, limit);
        QFETCH(QStringList, clicks);
        QFETCH(QStringList, chosen);
        Picker p({"Alpha", "Bravo", "Charlie", "Delta", "Echo"}, limit);
        AppPickerDialog &dialog = *p.dialog;
        for (const QString &name : clicks)
            clickEntry(dialog, name);
        QCOMPARE(dialog.chosenPaths(), chosen);
        QVERIFY(dialog.addButton()->isEnabled());
    }

    void trackedEntriesAreNotOfferedAgain()
    {
        Picker p({"Alpha", "Bravo", "Charlie"}, 2, {pathOf("Bravo")});
        AppPickerDialog &dialog = *p.dialog;
        QAbstractItemModel *rows = dialog.listView()->model();
        QStringList offered;
        for (int row = 0; row < rows->rowCount(); ++row)
            offered << rows->index(row, 0).data().toString();
        QCOMPARE(offered, (QStringList{"Alpha", "Charlie"}));
    }

    void searchFiltersByNameAndKeepsChoices()
    {
        Picker p({"Alpha", "Bravo", "Charlie"}, 3);
        AppPickerDialog &dialog = *p.dialog;
        clickEntry(dialog, "Alpha");
        QTest::keyClicks(dialog.searchField(), "CHAR");
        QCOMPARE(dialog.listView()->model()->rowCount(), 1);
        clickEntry(dialog, "Charlie");
        dialog.searchField()->clear();
        QCOMPARE(dialog.listView()->model()->rowCount(), 3);
        QCOMPARE(dialog.chosenPaths(), (QStringList{pathOf("Alpha"), pathOf("Charlie")}));
    }

    void browseAddsEntriesOutsideTheMenus()
    {
        Picker p({"Alpha"}, 2);
        AppPickerDialog &dialog = *p.dialog;
        QTemporaryDir dir;
        const QString tool = dir.path() + "/My Tool.desktop";
        const QString other = dir.path() + "/Other.desktop";
        const QString notAnEntry = dir.path() + "/notes.txt";
        for (const QString &path : {tool, other, notAnEntry}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        dialog.setBrowseFunction([&](QWidget *) {
            return QStringList{notAnEntry, tool, dir.path() + "/missing.desktop", other};
        });
        clickEntry(dialog, "Alpha");
        dialog.browseButton()->click();
        // One place was left: the first browsed entry takes it, the other is listed;
        // a file that is not an entry, or is gone, is not offered.
        QCOMPARE(dialog.chosenPaths(), (QStringList{pathOf("Alpha"), tool}));
        QCOMPARE(dialog.model()->rowCount(), 3);
        QCOMPARE(dialog.model()->index(1).data().toString(), "My Tool");
        // A catalog update keeps browsed entries and drops an uninstalled choice.
        p.catalog.setApplications(catalogOf({"Zulu"}));
        QCOMPARE(dialog.model()->rowCount(), 3);
        QCOMPARE(dialog.chosenPaths(), QStringList{tool});
    }

    void iconsLoadLazily()
    {
        FakeApplicationCatalog catalog;
        QStringList names;
        for (int i = 0; i < 300; ++i)
            names.append(QStringLiteral("App%1").arg(i, 3, 10, QLatin1Char('0')));
        catalog.applications = catalogOf(names);
        CountingIcons icons;
        AppPickerDialog dialog(catalog, icons, 5);
        QVERIFY(icons.requested.isEmpty());
        dialog.show();
        dialog.listView()->viewport()->grab();
        QVERIFY(!icons.requested.isEmpty());
        QVERIFY2(icons.requested.size() < 60, qPrintable(QString::number(icons.requested.size())));
    }
};

QTEST_MAIN(AppPickerTest)
#include "settings_app_picker_test.moc"
