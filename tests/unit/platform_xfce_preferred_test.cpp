// Xfce's launcher entries ("Terminal Emulator", …) offered as the preferred
// application they start, or not at all.
#include "fakes/Files.h"
#include "platform/xfce/XfcePreferredApplications.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace nudgewatch;

class XfcePreferredTest : public QObject {
    Q_OBJECT
private slots:
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
            xfce.standIns({dir.filePath("launcher.desktop"), "/apps/foot.desktop"},
                          [&]() -> const std::vector<DesktopEntry> & { return entries; });
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

QTEST_GUILESS_MAIN(XfcePreferredTest)
#include "platform_xfce_preferred_test.moc"
