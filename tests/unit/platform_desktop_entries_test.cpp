// Desktop entries: folders and IDs, parsing, precedence, names.

#include "platform/linux/DesktopEntryBundleInfo.h"
#include "platform/linux/DesktopEntryRegistry.h"
#include "platform/linux/DesktopEntryScanner.h"
#include "platform/linux/GioLauncher.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace nudgewatch;

namespace {

const QString fixtures = QStringLiteral(NUDGEWATCH_FIXTURES "/desktop-entries");

QStringList fixtureFolders()
{
    return {fixtures + QStringLiteral("/user/applications"),
            fixtures + QStringLiteral("/system/applications"),
            fixtures + QStringLiteral("/flatpak/applications")};
}

const DesktopEntry *findId(const std::vector<DesktopEntry> &entries, const QString &id)
{
    for (const DesktopEntry &entry : entries)
        if (entry.desktopId == id)
            return &entry;
    return nullptr;
}

bool writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

} // namespace

class DesktopEntriesTest : public QObject {
    Q_OBJECT
private slots:
    void dataDirs_data()
    {
        QTest::addColumn<QStringList>("variables");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("defaults") << QStringList{"HOME=/home/u"}
                                  << QStringList{"/home/u/.local/share", "/usr/local/share",
                                                 "/usr/share"};
        QTest::newRow("set, user first")
            << QStringList{"HOME=/home/u", "XDG_DATA_HOME=/d/home", "XDG_DATA_DIRS=/d/one:/d/two/"}
            << QStringList{"/d/home", "/d/one", "/d/two"};
        QTest::newRow("relative and repeated entries dropped")
            << QStringList{"HOME=/home/u", "XDG_DATA_HOME=rel",
                           "XDG_DATA_DIRS=rel/x::/d/one:/d/one"}
            << QStringList{"/home/u/.local/share", "/d/one"};
    }
    void dataDirs()
    {
        QFETCH(QStringList, variables);
        QFETCH(QStringList, expected);
        QProcessEnvironment environment;
        for (const QString &variable : variables)
            environment.insert(variable.section(QLatin1Char('='), 0, 0),
                               variable.section(QLatin1Char('='), 1));
        QCOMPARE(xdgDataDirs(environment), expected);
    }

    void effectiveEntries_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("path"); // relative to the fixtures; empty: not listed
        QTest::newRow("user entry overrides the system one")
            << "org.example.Editor.desktop"
            << "user/applications/org.example.Editor.desktop";
        QTest::newRow("hidden user entry removes the system one") << "hidden-tool.desktop"
                                                                  << "";
        QTest::newRow("vendor-prefixed ID") << "kde-konsolish.desktop"
                                            << "system/applications/kde/konsolish.desktop";
        QTest::newRow("Flatpak export") << "org.gnome.TextEditor.desktop"
                                        << "flatpak/applications/org.gnome.TextEditor.desktop";
        QTest::newRow("links are not applications") << "link-entry.desktop"
                                                    << "";
        QTest::newRow("broken file") << "broken.desktop"
                                     << "";
    }
    void effectiveEntries()
    {
        QFETCH(QString, id);
        QFETCH(QString, path);
        const std::vector<DesktopEntry> entries = scanDesktopEntries(fixtureFolders());
        const DesktopEntry *entry = findId(entries, id);
        if (path.isEmpty()) {
            QVERIFY(entry == nullptr);
            return;
        }
        QVERIFY(entry != nullptr);
        QCOMPARE(entry->path, fixtures + QLatin1Char('/') + path);
    }

    void localizedNames_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("localized"); // "<none>": absent
        QTest::addColumn<QString>("name");
        const QString alpha = QStringLiteral("system/applications/alpha-terminal.desktop");
        QTest::newRow("translated") << QByteArray("de") << alpha << "Terminal Alfa"
                                    << "Terminal Alpha";
        QTest::newRow("regional language falls back to the language")
            << QByteArray("de_AT") << alpha << "Terminal Alfa"
            << "Terminal Alpha";
        QTest::newRow("entry without Name")
            << QByteArray("de") << "system/applications/no-name-tool.desktop"
            << "<none>"
            << "<none>";
    }
    void localizedNames()
    {
        QFETCH(QByteArray, language);
        QFETCH(QString, file);
        QFETCH(QString, localized);
        QFETCH(QString, name);
        qputenv("LANGUAGE", language);
        const BundleNames names =
            DesktopEntryBundleInfo().namesForBundle(fixtures + QLatin1Char('/') + file);
        const auto shown = [](const std::optional<QString> &v) {
            return v.value_or(QStringLiteral("<none>"));
        };
        QCOMPARE(shown(names.localizedName), localized);
        QCOMPARE(shown(names.name), name);
        qunsetenv("LANGUAGE");
    }

    void unreadableFolderAndEntriesAreSkipped()
    {
        QTemporaryDir dir;
        const QString apps = dir.path() + QStringLiteral("/applications");
        QVERIFY(writeFile(apps + QStringLiteral("/ok.desktop"),
                          "[Desktop Entry]\nType=Application\nName=Ok\nExec=ok\n"));
        QVERIFY(
            writeFile(apps + QStringLiteral("/binary.desktop"), QByteArray("\xff\xfe\x00\x01", 4)));
        QVERIFY(writeFile(apps + QStringLiteral("/unterminated-quote.desktop"),
                          "[Desktop Entry]\nType=Application\nName=Quote\nExec=\"unterminated\n"));
        const std::vector<DesktopEntry> entries =
            scanDesktopEntries({dir.path() + QStringLiteral("/missing"), apps});
        QCOMPARE(int(entries.size()), 2);
        const DesktopEntry *quote = findId(entries, QStringLiteral("unterminated-quote.desktop"));
        QVERIFY(quote);
        QVERIFY(quote->programs.isEmpty());
    }

    // Opening a FIFO blocks until a writer comes, a device may never end: a
    // saved path or a folder entry of that kind must be skipped, not read.
    void specialFilesAreNeverOpened_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("fifo") << "fifo";
        QTest::newRow("link to a fifo") << "link";
        QTest::newRow("device") << "device";
    }
    void specialFilesAreNeverOpened()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString folder = dir.filePath("applications");
        QVERIFY(QDir().mkpath(folder));
        const QString fifo = dir.filePath("pipe");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString path = folder + "/special.desktop";
        if (kind == "fifo")
            QVERIFY(QFile::rename(fifo, path));
        else
            QVERIFY(QFile::link(kind == "link" ? fifo : QStringLiteral("/dev/zero"), path));

        const BundleNames names = DesktopEntryBundleInfo().namesForBundle(path);
        QVERIFY(!names.localizedName && !names.name);
        QVERIFY(!readDesktopEntry(path, "special.desktop"));
        QVERIFY(!GioLauncher().launch(path));
        QVERIFY(scanDesktopEntries({folder}).empty());
    }

    // The registry reads lazily and must still see entries installed, moved into
    // place or removed later, in the folders or below them, before any reload().
    void registryFollowsFolderChanges_data()
    {
        QTest::addColumn<QString>("relative"); // below the temporary data folder
        QTest::addColumn<QString>("id");
        QTest::newRow("new subfolder") << "applications/kde/late.desktop"
                                       << "kde-late.desktop";
        QTest::newRow("folder created later") << "later/late.desktop"
                                              << "late.desktop";
    }

    void registryFollowsFolderChanges()
    {
        QFETCH(QString, relative);
        QFETCH(QString, id);
        QTemporaryDir dir;
        const QByteArray entry = "[Desktop Entry]\nType=Application\nName=Late\nExec=late\n";
        QVERIFY(writeFile(dir.filePath(QStringLiteral("applications/old/first.desktop")), entry));
        const DesktopEntryRegistry registry(
            {dir.filePath(QStringLiteral("applications")), dir.filePath(QStringLiteral("later"))});
        QCOMPARE(int(registry.index().entries().size()), 1);
        QVERIFY(!registry.index().byId(id));

        // Directory times have a resolution of the file system's clock tick.
        QTest::qWait(20);
        const QString path = dir.filePath(relative);
        QVERIFY(writeFile(path + QStringLiteral(".part"), entry));
        QVERIFY(QFile::rename(path + QStringLiteral(".part"), path));
        QVERIFY(registry.index().byId(id));
        QCOMPARE(registry.index().byId(id)->path, path);

        QTest::qWait(20);
        QVERIFY(QFile::remove(path));
        QVERIFY(!registry.index().byId(id));
        QCOMPARE(int(registry.index().entries().size()), 1);
    }
};

QTEST_GUILESS_MAIN(DesktopEntriesTest)
#include "platform_desktop_entries_test.moc"
