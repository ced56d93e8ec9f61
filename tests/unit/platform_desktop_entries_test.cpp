// Desktop entries as GIO reads them: folders and IDs, precedence, names; the
// installed applications menus list, kept current as the folders change. A
// path the user gave that is no file to read is skipped, never waited on.
// Xfce's launcher entries ("Terminal Emulator", …) offered as the preferred
// application they start, or not at all.

// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include <gio/gio.h>

#include "fakes/Files.h"
#include "fakes/PrivateBus.h"
#include "platform/freedesktop/DesktopApplicationCatalog.h"
#include "platform/freedesktop/DesktopEntryBundleInfo.h"
#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/freedesktop/GioLauncher.h"
#include "platform/freedesktop/InstalledEntries.h"
#include "platform/xfce/XfcePreferredApplications.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace nudgewatch;
using fakes::writeFile;

namespace {

const QString fixtures = QStringLiteral(NUDGEWATCH_FIXTURES "/desktop-entries");
const QByteArray okEntry = "[Desktop Entry]\nType=Application\nName=Ok\n";

QStringList listed(const DesktopApplicationCatalog &catalog)
{
    QStringList lines;
    for (const InstalledApplication &app : catalog.installedApplications())
        lines.append(app.desktopId + QLatin1Char('|') + app.name);
    return lines;
}

} // namespace

class DesktopEntriesTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_home; // the user's data folder, where entries are installed
    const DesktopEntryRegistry m_registry;
private slots:
    void initTestCase()
    {
        fakes::useDesktopEntries(m_home.path(),
                                 {fixtures + "/catalog/user", fixtures + "/catalog/system"});
        qputenv("XDG_CURRENT_DESKTOP", "Here:Else"); // also read once by GIO
        QVERIFY(QDir().mkpath(m_home.filePath("applications")));
    }

    // The first folder holding a desktop ID wins, with an entry that hides it
    // too; IDs from the path below the folder; NoDisplay entries kept for
    // window resolution; a link, or an entry whose program is missing, left out.
    void installedEntries()
    {
        const auto pathOf = [this](const QString &id) {
            const DesktopEntry *entry = m_registry.index().byId(id);
            return entry ? entry->path.mid(fixtures.size() + 9) : QString();
        };
        QCOMPARE(pathOf("shadowed.desktop"), "user/applications/shadowed.desktop");
        QCOMPARE(pathOf("vendor-tool.desktop"), "system/applications/vendor/tool.desktop");
        QCOMPARE(pathOf("nodisplay.desktop"), "system/applications/nodisplay.desktop");
        for (const char *absent : {"removed.desktop", "link.desktop", "missing-program.desktop"})
            QVERIFY2(pathOf(absent).isEmpty(), absent);
    }

    // Name[<language>], then Name; an entry without Name has neither. A name is
    // cut to what can ever be shown, never inside a character.
    void localizedNames_data()
    {
        QTest::addColumn<QByteArray>("entry"); // a fixture's name, or the keys of a new entry
        QTest::addColumn<QString>("names");    // "localized|untranslated"
        const QString smiley = QStringLiteral("\U0001F600");
        QTest::newRow("translated")
            << QByteArray("alpha-terminal") << "Terminal Alfa|Terminal Alpha";
        QTest::newRow("untranslated") << QByteArray("my-app") << "My App|My App";
        QTest::newRow("without Name") << QByteArray("no-name-tool") << "|";
        QTest::newRow("1 MB") << "Name[de]=" + QByteArray(1000000, 'n')
                              << QString(256, 'n') + "|Ok";
        QTest::newRow("cut inside a character")
            << "Name[de]=a" + smiley.repeated(200).toUtf8() << "a" + smiley.repeated(127) + "|Ok";
    }
    void localizedNames()
    {
        QFETCH(QByteArray, entry);
        QFETCH(QString, names);
        QTemporaryDir dir;
        const bool made = entry.contains('=');
        const QString path = made ? dir.filePath("new.desktop")
                                  : fixtures + "/system/applications/" + entry + ".desktop";
        QVERIFY(!made || writeFile(path, okEntry + "Exec=true\n" + entry));
        qputenv("LANGUAGE", "de");
        const BundleNames read = DesktopEntryBundleInfo(m_registry).namesForBundle(path);
        QCOMPARE(read.localizedName.value_or("") + '|' + read.name.value_or(""), names);
    }

    // Opening a FIFO blocks until a writer comes: a saved path of that kind
    // must be skipped, not read.
    void fifoIsNeverOpened()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("special.desktop");
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        QVERIFY(!DesktopEntryBundleInfo(m_registry).namesForBundle(path).name);
        QVERIFY(!GioLauncher().launch(path));
    }

    void activationServiceNames_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("service");
        QTest::newRow("reverse DNS")
            << "/a/org.example.Notes.desktop" << QString("org.example.Notes");
        QTest::newRow("one element") << "/a/notes.desktop" << QString();
        QTest::newRow("element starts with a digit") << "/a/org.1x.desktop" << QString();
        QTest::newRow("not ASCII") << "/a/org.exämple.desktop" << QString();
        QTest::newRow("not an entry") << "/a/org.example.Notes" << QString();
    }
    void activationServiceNames()
    {
        QFETCH(QString, file);
        QFETCH(QString, service);
        QCOMPARE(activationServiceName(file), service);
    }

    // GIO would report a D-Bus activation of a service the bus cannot start as
    // done and open nothing: the entry's own Exec line starts it instead.
    void missingActivationServiceFallsBackToExec()
    {
        fakes::PrivateBus bus;
        QVERIFY(bus.isRunning());
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
        QTemporaryDir dir;
        const QString marker = dir.filePath("started");
        const QString path = dir.filePath("org.example.Missing.desktop");
        QVERIFY(writeFile(path, okEntry + "DBusActivatable=true\nExec=sh -c \"env >" +
                                    marker.toUtf8() + ".part; mv " + marker.toUtf8() + ".part " +
                                    marker.toUtf8() + "\""));
        QVERIFY(GioLauncher().launch(path));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);
        // The process's environment names the entry it was started from.
        QVERIFY(
            fakes::readFile(marker).contains("GIO_LAUNCHED_DESKTOP_FILE=" + path.toUtf8() + '\n'));
        // GIO's session connection ends the process when its bus goes away.
        GDBusConnection *gioBus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
        QVERIFY(gioBus != nullptr);
        g_dbus_connection_set_exit_on_close(gioBus, FALSE);
        g_object_unref(gioBus);
    }

    // The applications menus list: sorted by name, links, NoDisplay and
    // missing programs left out, user entries shadowing system ones; GIO's
    // monitor brings entries installed or removed later.
    void catalogListsShownApplicationsSortedAndFollowsInstalls()
    {
        DesktopApplicationCatalog catalog(m_registry);
        QCOMPARE(listed(catalog),
                 QStringList({"Alpha.desktop|Alpha", "beta.desktop|beta",
                              "shadowed.desktop|Shadowed (user)", "vendor-tool.desktop|Vendor Tool",
                              "zeta.desktop|zeta"}));
        QCOMPARE(catalog.installedApplications().first().comment, QStringLiteral("The first one"));
        QSignalSpy changed(&catalog, &ApplicationCatalog::changed);
        const QString late = m_home.filePath("applications/late.desktop");
        QVERIFY(writeFile(late, okEntry + "Name=Late\nExec=true\n"));
        QTRY_VERIFY(listed(catalog).contains("late.desktop|Late"));
        QVERIFY(!changed.isEmpty());
        QVERIFY(QFile::remove(late));
        QTRY_VERIFY(!m_registry.index().byId("late.desktop"));
    }

    // What GIO shows in menus, for the current desktop "Here:Else".
    void shownInMenus_data()
    {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QString>("name"); // empty: not shown
        QTest::newRow("plain") << QByteArray("Name=Plain") << "Plain";
        QTest::newRow("only here") << QByteArray("OnlyShowIn=Other;Here;") << "entry";
        QTest::newRow("only elsewhere") << QByteArray("OnlyShowIn=Other;") << "";
        QTest::newRow("not here") << QByteArray("NotShowIn=Else;") << "";
        QTest::newRow("NoDisplay") << QByteArray("NoDisplay=true") << "";
        QTest::newRow("TryExec missing") << QByteArray("TryExec=nudgewatch-nonexistent") << "";
        QTest::newRow("1 MB name") << "Name=" + QByteArray(1000000, 'n') << QString(256, 'n');
    }
    void shownInMenus()
    {
        QFETCH(QByteArray, keys);
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath("entry.desktop");
        QVERIFY(writeFile(path, "[Desktop Entry]\nType=Application\nExec=true\n" + keys));
        const std::optional<DesktopEntry> entry = desktopEntryAt(path);
        QCOMPARE(entry && entry->shownInMenus ? entry->localizedName : QString(), name);
    }

    void launchersStandForTheirApplication_data()
    {
        QTest::addColumn<QByteArray>("userChoice"); // the user's helpers.rc
        QTest::addColumn<QByteArray>("exec");       // the launcher entry's
        QTest::addColumn<QStringList>("offered");
        // The application the launcher, when tracked, counts as: never Foot, tracked itself.
        QTest::addColumn<QString>("standsFor");
        const QByteArray terminal = "exo-open --launch TerminalEmulator";
        const QByteArray none;
        // clang-format off
        const QStringList both = {"Xfce4-terminal", "Xfce4-terminal-settings"};
        QTest::newRow("system default, first helper program installed") << none << terminal << QStringList{"XTerm"} + both << "XTerm";
        QTest::newRow("the user's choice first") << QByteArray("# mine\nTerminalEmulator=mine\n") << terminal << QStringList{"Foot", "XTerm"} + both << "";
        QTest::newRow("no helper program installed") << none << QByteArray("exo-open --launch WebBrowser") << QStringList{"XTerm"} + both << "";
        QTest::newRow("no helper chosen") << none << QByteArray("exo-open --launch MailReader") << QStringList{"XTerm"} + both << "";
        QTest::newRow("a helper named by path") << QByteArray("TerminalEmulator=../../../mine") << terminal << QStringList{"XTerm"} + both << "";
        QTest::newRow("not a launcher") << none << QByteArray("exo-open https://xfce.org") << QStringList{"Launcher", "XTerm"} + both << "";
        // The application's own entry, never its settings dialog that runs the same program.
        QTest::newRow("program shared with a settings entry") << QByteArray("TerminalEmulator=xfce") << terminal << QStringList{"XTerm"} + both << "Xfce4-terminal";
        // Debian's default: x-terminal-emulator, an alternatives link to a wrapper script.
        QTest::newRow("alternative ending in a wrapper") << QByteArray("TerminalEmulator=debian") << terminal << QStringList{"XTerm"} + both << "Xfce4-terminal";
        QTest::newRow("wrapper naming its program in a variable") << QByteArray("TerminalEmulator=variable") << terminal << QStringList{"XTerm"} + both << "";
        // clang-format on
    }
    void launchersStandForTheirApplication()
    {
        QFETCH(QByteArray, userChoice);
        QFETCH(QByteArray, exec);
        QFETCH(QStringList, offered);
        QFETCH(QString, standsFor);
        QTemporaryDir dir;
        const auto write = [&](const QString &path, const QByteArray &text) {
            QVERIFY(fakes::writeFile(dir.filePath(path), text));
        };
        write("user/xfce4/helpers.rc", userChoice);
        write("system/xfce4/helpers.rc", "TerminalEmulator=sys\nWebBrowser=web\n");
        const QByteArray helper = "[Desktop Entry]\nType=X-XFCE-Helper\n";
        write("data/xfce4/helpers/sys.desktop",
              helper + "X-XFCE-Binaries=gone;xterm;\nX-XFCE-Commands=%B;\n");
        write("data/xfce4/helpers/mine.desktop", helper + "X-XFCE-Commands=foot -e;\n");
        write("data/xfce4/helpers/web.desktop", helper + "X-XFCE-Binaries=gone;\n"
                                                         "X-XFCE-Commands=%B;\n");
        write("mine.desktop", helper + "X-XFCE-Commands=foot;\n");
        write("data/xfce4/helpers/xfce.desktop", helper + "X-XFCE-Commands=xfce4-terminal;\n");
        write("data/xfce4/helpers/debian.desktop",
              helper + "X-XFCE-Binaries=x-terminal-emulator;\nX-XFCE-Commands=%B;\n");
        write("data/xfce4/helpers/variable.desktop", helper + "X-XFCE-Commands=lxterm;\n");
        write("bin/wrapper",
              "#!/usr/bin/perl -w\n# exec xterm, once\nexec('xfce4-terminal',@args);\n");
        write("bin/lxterm", "#!/bin/sh\nXTERM=xterm\nexec \"$XTERM\" \"$@\"\n");
        write("launcher.desktop",
              "[Desktop Entry]\nType=Application\nName=Launcher\nExec=" + exec + "\n");
        const XfcePreferredApplications xfce(
            {dir.filePath("user"), dir.filePath("system")}, {dir.filePath("data")},
            [&](const QString &command) {
                if (command == "x-terminal-emulator")
                    return dir.filePath("bin/wrapper");
                if (command == "lxterm")
                    return dir.filePath("bin/lxterm");
                return QStringList{"xterm", "foot", "xfce4-terminal"}.contains(command)
                           ? "/usr/bin/" + command
                           : QString();
            });
        const auto entry = [](const QString &path, const QString &name, const QString &program,
                              bool shown, const QString &line = {}) {
            return DesktopEntry{{}, path, name, {}, {}, {}, {program}, shown, {}, line};
        };
        std::vector<DesktopEntry> entries{
            entry(dir.filePath("launcher.desktop"), "Launcher", "/usr/bin/exo-open", true,
                  QString::fromUtf8(exec)),
            entry("/apps/xterm.desktop", "XTerm", "/usr/bin/xterm", true),
            entry("/apps/foot.desktop", "Foot", "/usr/bin/foot", false),
            entry("/apps/xfce4-terminal-settings.desktop", "Xfce4-terminal-settings",
                  "/usr/bin/xfce4-terminal", true),
            entry("/apps/xfce4-terminal.desktop", "Xfce4-terminal", "/usr/bin/xfce4-terminal",
                  true)};
        entries[3].settings = true;
        const QHash<QString, QString> launcherFor =
            xfce.standIns({dir.filePath("launcher.desktop"), "/apps/foot.desktop"}, entries);
        QCOMPARE(launcherFor.keys(),
                 standsFor.isEmpty() ? QStringList()
                                     : QStringList{"/apps/" + standsFor.toLower() + ".desktop"});
        xfce.offerLaunchedApplications(entries);
        QStringList shown;
        for (const DesktopEntry &entry : entries)
            if (entry.shownInMenus)
                shown.append(entry.localizedName);
        shown.sort();
        QCOMPARE(shown, offered);
    }
};

QTEST_GUILESS_MAIN(DesktopEntriesTest)
#include "platform_desktop_entries_test.moc"
