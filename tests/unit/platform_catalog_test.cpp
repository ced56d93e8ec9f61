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
QTemporaryDir dataHome;

QStringList listed(const GioApplicationCatalog &catalog)
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
        GioApplicationCatalog catalog;
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
