// The installed applications as GIO lists them, kept current by its monitor.
// GIO reads the XDG folders once per process, so main() sets them up first.

#include "platform/linux/GioApplicationCatalog.h"

#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace nudgewatch;

namespace {

const QString fixtures = QStringLiteral(NUDGEWATCH_FIXTURES "/desktop-entries/catalog");
QTemporaryDir *dataHome = nullptr;

QString userApplications()
{
    return dataHome->path() + QStringLiteral("/applications");
}

QStringList describe(const QList<InstalledApplication> &applications)
{
    QStringList lines;
    for (const InstalledApplication &app : applications)
        lines.append(app.desktopId + QLatin1Char('|') + app.name);
    return lines;
}

} // namespace

class CatalogTest : public QObject {
    Q_OBJECT
private slots:
    void listsShownApplicationsSortedByName()
    {
        GioApplicationCatalog catalog;
        QCOMPARE(describe(catalog.installedApplications()),
                 QStringList({"Alpha.desktop|Alpha", "beta.desktop|beta",
                              "shadowed.desktop|Shadowed (user)", "vendor-tool.desktop|Vendor Tool",
                              "zeta.desktop|zeta"}));
        const InstalledApplication alpha = catalog.installedApplications().first();
        QCOMPARE(alpha.comment, QStringLiteral("The first one"));
        QCOMPARE(alpha.path, fixtures + QStringLiteral("/system/applications/Alpha.desktop"));
    }

    void followsInstallsAndRemovals()
    {
        GioApplicationCatalog catalog;
        // Watching starts with the first listing (the picker opening).
        QVERIFY(!describe(catalog.installedApplications()).contains("newcomer.desktop|Newcomer"));
        QSignalSpy changed(&catalog, &ApplicationCatalog::changed);
        QTest::qWait(200);
        QCOMPARE(changed.count(), 0);
        const QString path = userApplications() + QStringLiteral("/newcomer.desktop");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[Desktop Entry]\nType=Application\nName=Newcomer\nExec=true\n");
        }
        QVERIFY(changed.wait(15000));
        QTRY_VERIFY_WITH_TIMEOUT(
            describe(catalog.installedApplications()).contains("newcomer.desktop|Newcomer"), 5000);
        changed.clear();
        QVERIFY(QFile::remove(path));
        QVERIFY(changed.wait(15000));
        QTRY_VERIFY_WITH_TIMEOUT(
            !describe(catalog.installedApplications()).contains("newcomer.desktop|Newcomer"), 5000);
    }
};

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    dataHome = &home;
    QDir().mkpath(userApplications());
    for (const QString &name :
         QDir(fixtures + QStringLiteral("/user/applications")).entryList(QDir::Files))
        QFile::copy(fixtures + QStringLiteral("/user/applications/") + name,
                    userApplications() + '/' + name);
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(fixtures + QStringLiteral("/system")));
    qunsetenv("XDG_CURRENT_DESKTOP");
    QCoreApplication app(argc, argv);
    CatalogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "platform_catalog_test.moc"
