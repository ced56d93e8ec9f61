// The installed applications menus list, kept current as the folders change;
// what is no file to read is skipped, never waited on.

#include "fakes/Fifo.h"
#include "platform/freedesktop/DesktopApplicationCatalog.h"

#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace nudgewatch;

namespace {

const QString fixtures = QStringLiteral(NUDGEWATCH_FIXTURES "/desktop-entries/catalog");
QTemporaryDir dataHome;

QStringList listed(const DesktopApplicationCatalog &catalog)
{
    QStringList lines;
    for (const InstalledApplication &app : catalog.installedApplications())
        lines.append(app.desktopId + QLatin1Char('|') + app.name);
    return lines;
}

} // namespace

class CatalogTest : public QObject {
    Q_OBJECT
private slots:
    // Links, NoDisplay and missing programs left out; user entries shadow
    // system ones. Watching starts with the first listing (the picker opening).
    void listsShownApplicationsSortedAndFollowsInstalls()
    {
        DesktopApplicationCatalog catalog;
        QCOMPARE(listed(catalog),
                 QStringList({"Alpha.desktop|Alpha", "beta.desktop|beta",
                              "shadowed.desktop|Shadowed (user)", "vendor-tool.desktop|Vendor Tool",
                              "zeta.desktop|zeta"}));
        QCOMPARE(catalog.installedApplications().first().comment, QStringLiteral("The first one"));
        QSignalSpy changed(&catalog, &ApplicationCatalog::changed);
        QFile file(dataHome.filePath("applications/newcomer.desktop"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Desktop Entry]\nType=Application\nName=Newcomer\nExec=true\n");
        file.close();
        QTRY_VERIFY_WITH_TIMEOUT(listed(catalog).contains("newcomer.desktop|Newcomer"), 15000);
        QVERIFY(!changed.isEmpty());
    }

    // "FIFO" and "100 MB" stand for such files; the current desktop is "Here:Else".
    void listsOnlyWhatMenusShow_data()
    {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QString>("name"); // empty: not listed
        QTest::newRow("plain") << QByteArray("Name=Plain") << "Plain";
        QTest::newRow("only here") << QByteArray("OnlyShowIn=Other;Here;") << "entry";
        QTest::newRow("only elsewhere") << QByteArray("OnlyShowIn=Other;") << "";
        QTest::newRow("not here") << QByteArray("NotShowIn=Else;") << "";
        QTest::newRow("TryExec missing") << QByteArray("TryExec=nudgewatch-nonexistent") << "";
        QTest::newRow("1 MB name") << "Name=" + QByteArray(1000000, 'n') << QString(256, 'n');
        QTest::newRow("FIFO") << QByteArray("FIFO") << "";
        QTest::newRow("100 MB") << QByteArray("100 MB") << "";
    }
    void listsOnlyWhatMenusShow()
    {
        QFETCH(QByteArray, keys);
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath("entry.desktop");
        std::optional<fakes::Fifo> fifo;
        QFile file(path);
        if (keys == "FIFO")
            QVERIFY(fifo.emplace(path).made());
        else if (keys == "100 MB")
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[Desktop Entry]\n") &&
                    file.resize(100 << 20));
        else
            QVERIFY(file.open(QIODevice::WriteOnly) &&
                    file.write("[Desktop Entry]\nType=Application\nExec=true\n" + keys));
        file.close();
        qputenv("XDG_CURRENT_DESKTOP", "Here:Else");
        const QList<InstalledApplication> apps =
            DesktopApplicationCatalog({dir.path()}).installedApplications();
        qunsetenv("XDG_CURRENT_DESKTOP");
        QCOMPARE(apps.isEmpty() ? QString() : apps.first().name, name);
        QVERIFY(!fifo || !fifo->released());
    }
};

int main(int argc, char *argv[])
{
    QDir().mkpath(dataHome.filePath("applications"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(fixtures + "/user:" + fixtures + "/system"));
    qunsetenv("XDG_CURRENT_DESKTOP");
    QCoreApplication app(argc, argv);
    CatalogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "platform_catalog_test.moc"
