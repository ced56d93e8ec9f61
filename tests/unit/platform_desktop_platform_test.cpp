// The desktop services as the program gets them, in a session without X11, and
// start at login: the autostart entry the desktop reads.

// GLib before Qt: its headers use the word "signals".
#include <gio/gdesktopappinfo.h>

#include "fakes/Fakes.h"
#include "fakes/Files.h"
#include "platform/DesktopPlatform.h"
#include "platform/SessionTable.h"
#include "platform/StandInTracker.h"
#include "platform/freedesktop/AutostartEntry.h"
#include "platform/x11/X11Session.h"
#include "platform/xcb/XcbConnection.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

Q_DECLARE_METATYPE(nudgewatch::SessionFacts)

using namespace nudgewatch;
using fakes::writeFile;

namespace {

// The words of the command line GLib (which launches the entry) reads from it.
QStringList commandGlibReads(const QString &entryPath)
{
    g_autoptr(GDesktopAppInfo) info = g_desktop_app_info_new_from_filename(qPrintable(entryPath));
    g_auto(GStrv) argv = nullptr;
    if (!info ||
        !g_shell_parse_argv(g_app_info_get_commandline(G_APP_INFO(info)), nullptr, &argv, nullptr))
        return {};
    QStringList words;
    for (gchar **word = argv; *word; ++word)
        words.append(QString::fromUtf8(*word));
    return words;
}

// A local socket of this process at `path`, as a display server's.
struct Socket {
    enum Kind { Listening, Bound, Client };
    Socket(const QString &path, Kind kind)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
        const auto *at = reinterpret_cast<const sockaddr *>(&address);
        ok = kind == Client
                 ? ::connect(fd, at, sizeof address) == 0
                 : ::bind(fd, at, sizeof address) == 0 && (kind == Bound || ::listen(fd, 4) == 0);
    }
    ~Socket() { ::close(fd); }
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    bool ok = false;
};

} // namespace

class DesktopPlatformTest : public QObject {
    Q_OBJECT
private slots:
    void backendForTheSession_data()
    {
        QTest::addColumn<SessionFacts>("session");
        QTest::addColumn<QString>("expected"); // the wing's folder
        using F = SessionFacts;
        QTest::newRow("X11 session") << F{"x11", "XFCE", false, "xcb"} << "x11";
        // Xwayland's active window is never a native one.
        QTest::newRow("GNOME on Wayland, Qt on xcb")
            << F{"wayland", "ubuntu:GNOME", true, "xcb"} << "gnome";
        QTest::newRow("Plasma") << F{"wayland", "KDE", true, "xcb"} << "kwin";
        QTest::newRow("sway") << F{"wayland", "sway", true, "xcb"} << "wlroots";
        QTest::newRow("compositor started by hand") << F{"", "", true, "xcb"} << "wlroots";
        QTest::newRow("sway started from a console") << F{"tty", "", true, "xcb"} << "wlroots";
        QTest::newRow("client of a nested compositor") << F{"x11", "", true, "xcb"} << "wlroots";
        QTest::newRow("sway without Xwayland") << F{"tty", "sway", true, "wayland"} << "wlroots";
        QTest::newRow("compositor unreachable") << F{"wayland", "", false, "xcb"} << "wlroots";
        QTest::newRow("no X11, no Wayland") << F{"tty", "", false, "offscreen"} << "null";
        QTest::newRow("desktop named in lower case") << F{"Wayland", "kde", true, "xcb"} << "kwin";
    }
    void backendForTheSession()
    {
        QFETCH(SessionFacts, session);
        QFETCH(QString, expected);
        QCOMPARE(QString(sessionWingFor(session).name), expected);
    }

    // The compositor's socket in the runtime folder, and the X server's
    // listener: that of Xwayland or of the compositor running it.
    void socketsOfTheSession_data()
    {
        QTest::addColumn<QString>("display"); // WAYLAND_DISPLAY
        QTest::addColumn<bool>("listening");  // the X server's process at wayland-1
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<bool>("xwayland");
        // clang-format off
        QTest::newRow("socket") << "wayland-1" << true << true << true;
        QTest::newRow("socket by path") << "%1/wayland-1" << true << true << true;
        QTest::newRow("left behind by a compositor gone") << "wayland-9" << true << false << true;
        QTest::newRow("a file, not a socket") << "plain" << false << false << false;
        QTest::newRow("unset, a bare X server") << "" << false << false << false;
        // clang-format on
    }
    void socketsOfTheSession()
    {
        QFETCH(QString, display);
        QFETCH(bool, listening);
        QFETCH(bool, wayland);
        QFETCH(bool, xwayland);
        QTemporaryDir runtime;
        const Socket server(runtime.filePath("X0"), Socket::Listening);
        const Socket compositor(runtime.filePath("wayland-1"),
                                listening ? Socket::Listening : Socket::Bound);
        const Socket client(runtime.filePath("X0"), Socket::Client);
        QVERIFY(server.ok && compositor.ok && client.ok);
        QVERIFY(writeFile(runtime.filePath("plain"), {}));
        QProcessEnvironment environment;
        environment.insert("XDG_SESSION_TYPE", "tty");
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        environment.insert("WAYLAND_DISPLAY", display.arg(runtime.path()));
        QCOMPARE(isWaylandSession(SessionFacts::fromEnvironment(environment, "xcb")), wayland);
        QCOMPARE(XcbConnection::servedByXwayland(client.fd, runtime.path()), xwayland);
    }

    // A tracked launcher counts as the application it starts, and Open on it
    // raises that application's window.
    void launcherStandsIn_data()
    {
        QTest::addColumn<QString>("front"); // the application the session reports
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("opened"); // Open on this entry
        QTest::addColumn<QString>("raised");
        const QString term = "/a/term.desktop", launcher = "/a/launcher.desktop";
        QTest::newRow("the launched terminal") << term << launcher << launcher << term;
        const QString other = "/a/other.desktop";
        QTest::newRow("any other") << other << other << other << other;
    }
    void launcherStandsIn()
    {
        QFETCH(QString, front);
        QFETCH(QString, told);
        QFETCH(QString, opened);
        QFETCH(QString, raised);
        struct Raiser final : WindowRaiser {
            bool raiseWindowOf(const QString &entry) override
            {
                path = entry;
                return true;
            }
            QString path;
        } raiser;
        fakes::FakeTracker session;
        StandInTracker tracker(session, &raiser);
        tracker.setStandIns({{"/a/term.desktop", "/a/launcher.desktop"}});
        QSignalSpy activated(&tracker, &FrontmostApplicationTracker::activated);
        session.frontmost = RunningApplication{"Term", front};
        emit session.activated(*session.frontmost);
        QCOMPARE(activated.front().front().value<RunningApplication>().bundlePath, told);
        QCOMPARE(tracker.frontmostApplication()->bundlePath, told);
        QVERIFY(tracker.raiseWindowOf(opened));
        QCOMPARE(raiser.path, raised);
    }

    // Whatever keeps the front window from being followed, the rest is served.
    void servicesWithoutAFrontWindow_data()
    {
        QTest::addColumn<QByteArray>("session");
        QTest::newRow("neither X11 nor Wayland") << QByteArray();
        QTest::newRow("no X11 connection") << QByteArray("x11");
        QTest::newRow("a Wayland compositor out of reach") << QByteArray("wayland");
    }
    void servicesWithoutAFrontWindow()
    {
        QFETCH(QByteArray, session);
        if (session == "wayland") {
            qputenv("XDG_SESSION_TYPE", "wayland");
            qputenv("WAYLAND_DISPLAY", "/nonexistent/wayland-0");
        }
        const auto desktop =
            session == "x11" ? DesktopPlatform::createWith([](const DesktopEntryRegistry &entries) {
                return std::make_unique<X11Session>(nullptr, entries);
            })
                             : DesktopPlatform::create();
        qunsetenv("XDG_SESSION_TYPE");
        qunsetenv("WAYLAND_DISPLAY");
        QSignalSpy lost(desktop.get(), &DesktopPlatform::connectionLost);
        QCoreApplication::processEvents();
        QCOMPARE(lost.count(), 0);
        QVERIFY(!desktop->tracker().frontmostApplication().has_value());
        QVERIFY(!desktop->tracker().status().tracking);
        QVERIFY(!desktop->tracker().status().explanation.isEmpty());

        const QString entry = QStringLiteral(
            NUDGEWATCH_FIXTURES "/desktop-entries/system/applications/alpha-terminal.desktop");
        QVERIFY(desktop->fileSystem().exists(entry));
        QVERIFY(!desktop->fileSystem().exists(entry + QStringLiteral(".gone")));
        QVERIFY(!desktop->fileSystem().exists(QString()));
        QCOMPARE(desktop->bundleInfo().namesForBundle(entry).name,
                 std::optional<QString>("Terminal Alpha"));
        const QImage icon = desktop->icons().iconForFile(entry);
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.deviceIndependentSize(), QSizeF(48, 48));
        // Nothing to open there: fails without a word to the user.
        QVERIFY(!desktop->opener().openApplication(entry + QStringLiteral(".gone")));
    }

    // A desktop's launcher of the preferred terminal, installed outside its own
    // session, is listed as the terminal it starts.
    void installedLaunchersListTheirApplication()
    {
        QTemporaryDir dir;
        const auto write = [&](const QString &path, const QByteArray &text) {
            QVERIFY(writeFile(dir.filePath(path), text));
        };
        const QByteArray entry = "[Desktop Entry]\nType=Application\n";
        write("config/xfce4/helpers.rc", "TerminalEmulator=shell\n");
        write("data/xfce4/helpers/shell.desktop",
              "[Desktop Entry]\nType=X-XFCE-Helper\nX-XFCE-Binaries=sh;\nX-XFCE-Commands=%B;\n");
        write("bin/exo-open", "#!/bin/sh\n");
        QVERIFY(QFile::setPermissions(dir.filePath("bin/exo-open"),
                                      QFile::ReadOwner | QFile::ExeOwner));
        write("data/applications/launcher.desktop",
              entry + "Name=Terminal Emulator\nExec=" + QFile::encodeName(dir.filePath("bin")) +
                  "/exo-open --launch TerminalEmulator\n");
        write("data/applications/shell.desktop", entry + "Name=Shell\nExec=sh\n");
        // Taken away again whatever the outcome: later tests read the usual folders.
        const auto unset = qScopeGuard([] {
            for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS"})
                qunsetenv(name);
        });
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("config")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("data")));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(dir.filePath("none")));
        const auto desktop = DesktopPlatform::create();
        QStringList listed;
        for (const InstalledApplication &application : desktop->catalog().installedApplications())
            listed.append(application.name);
        QCOMPARE(listed, QStringList{"Shell"});
    }

    // Whatever the path, the desktop starts exactly that program, and switching
    // off removes the entry. GLib refuses an entry whose program does not exist,
    // so each one is created.
    void entryStartsTheProgram_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("spaces") << "My Programs/nudgewatch";
        QTest::newRow("shell characters") << "a;b&c|d$(e)`f`'g'\"h\\i\\\\j/nw";
        QTest::newRow("unicode") << QStringLiteral("n\u00e4chste Sch\u00fcbe/nw");
    }
    void entryStartsTheProgram()
    {
        QFETCH(QString, relativePath);
        QTemporaryDir dir;
        const QString executable = dir.path() + "/" + relativePath;
        QVERIFY(writeFile(executable, {}) &&
                QFile::setPermissions(executable, QFile::ReadOwner | QFile::ExeOwner));

        AutostartEntry entry(dir.path() + "/autostart", executable);
        QVERIFY(entry.setEnabled(true));
        QVERIFY(entry.isEnabled());
        QCOMPARE(commandGlibReads(entry.filePath()), QStringList({executable, "--autostart"}));
        if (const QString validate = QStandardPaths::findExecutable("desktop-file-validate");
            !validate.isEmpty())
            QCOMPARE(QProcess::execute(validate, {entry.filePath()}), 0);
        QVERIFY(entry.setEnabled(false));
        QVERIFY(!QFile::exists(entry.filePath()));
        QVERIFY(!entry.isEnabled());
    }

    // GLib's existence check does not undo "%%", so percent signs are checked
    // on the argument alone; a control character cannot be written at all.
    void percentAndControlCharacters()
    {
        QCOMPARE(desktopExecArgument("/opt/100%/nw").value_or(""), QString("/opt/100%%/nw"));
        QTemporaryDir dir;
        AutostartEntry entry(dir.path(), QString("/tmp/a\tb"));
        QVERIFY(!entry.setEnabled(true));
        QVERIFY(!QFile::exists(entry.filePath()));
    }
};

QTEST_MAIN(DesktopPlatformTest)
#include "platform_desktop_platform_test.moc"
