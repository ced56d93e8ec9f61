// The X11 workspace against a real X server, a real window manager (openbox)
// and real windows (xterm), feeding a real store. Run through
// platform_x11_session.sh, which provides the X server. Losing the X server is
// the program's end-to-end test (app_main_e2e_test.sh).

#include "fakes/Fakes.h"
#include "platform/DesktopPlatform.h"
#include "platform_x11_harness.h"

#include <QDir>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

using namespace nudgewatch;
using namespace nudgewatch::e2e;

namespace {

QTemporaryDir *sandbox = nullptr;
// openbox needs the system's data folders for its theme; only this process
// sees the sandboxed ones.
QProcessEnvironment childEnvironment;
constexpr int settleMs = 300;

QString sandboxPath(const QString &relative)
{
    return sandbox->path() + QLatin1Char('/') + relative;
}

QString entryPath(const QString &name)
{
    return sandboxPath("data/applications/" + name + ".desktop");
}

QString marker(const QString &name)
{
    return sandboxPath("markers/" + name);
}

// Entries whose Exec writes a marker: launching one is visible, and the
// hostile one carries shell syntax that must reach the program as plain words.
bool writeEntries()
{
    const QString program = QStringLiteral(NUDGEWATCH_MARKER);
    const QString hostile =
        QStringLiteral("; touch %1 && echo $(touch %2) | tee %3 > %4 'quoted;arg'")
            .arg(marker("pwned-1"), marker("pwned-2"), marker("pwned-3"), marker("pwned-4"));
    const QList<QStringList> entries = {
        {"alpha", "Alpha Term", "NwAlpha", marker("alpha")},
        {"beta", "Beta Term", "NwBeta", marker("beta")},
        {"gamma", "Gamma Tool", "NwGamma", marker("gamma") + " --from-entry"},
        {"hostile", "Hostile", "NwHostile", marker("hostile") + ' ' + hostile},
    };
    for (const char *folder : {"data/applications", "markers", "empty", "config"})
        QDir().mkpath(sandboxPath(folder));
    for (const QStringList &e : entries) {
        QFile file(entryPath(e[0]));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(
            QStringLiteral(
                "[Desktop Entry]\nType=Application\nName=%1\nStartupWMClass=%2\nExec=%3 %4\n")
                .arg(e[1], e[2], program, e[3])
                .toUtf8());
    }
    return true;
}

QString describe(const RunningApplication &app)
{
    QString path = app.bundlePath.value_or(QString());
    path.remove(sandboxPath("data/applications/"));
    return app.localizedName.value_or(QString()) + QLatin1Char('|') + path;
}

// Children of this process that ended but were never reaped.
QStringList zombieChildren()
{
    QStringList zombies;
    const QString self = QString::number(QCoreApplication::applicationPid());
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(stat.readAll());
        const QStringList fields =
            text.mid(text.lastIndexOf(QLatin1Char(')')) + 2).split(QLatin1Char(' '));
        if (fields.size() > 1 && fields[0] == QLatin1String("Z") && fields[1] == self)
            zombies.append(text.section(QLatin1Char(' '), 0, 1));
    }
    return zombies;
}

QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class X11WorkspaceTest : public QObject {
    Q_OBJECT
private:
    ChildProcesses m_children{childEnvironment};
    QProcess *m_windowManager = nullptr;
    RootProperties m_root;
    xcb_window_t m_alpha1 = 0, m_alpha2 = 0, m_beta = 0, m_unlisted = 0;
    std::unique_ptr<DesktopPlatform> m_desktop;
    fakes::FakeClock m_clock;
    fakes::FakeScheduler m_scheduler{m_clock};
    fakes::FakeDefaults m_defaults;
    NotificationCenter m_notifications;
    std::unique_ptr<AppTrackerStore> m_store;
    std::unique_ptr<QSignalSpy> m_activations;

    void startWindowManager()
    {
        m_windowManager = m_children.start("openbox", {"--sm-disable"});
        QTRY_VERIFY_WITH_TIMEOUT(m_root.windowManagerRunning(), 10000);
        QTest::qWait(settleMs);
        QVERIFY2(m_windowManager->state() == QProcess::Running, "openbox did not stay up");
    }
    xcb_window_t startTerminal(const QString &wmClass, const QString &title)
    {
        m_children.start("xterm", {"-class", wmClass, "-title", title, "-e", "sleep", "600"});
        return windowWithTitle(title);
    }
    // Activates through the window manager and checks that it took effect.
    void activate(xcb_window_t window)
    {
        QVERIFY(activateWindow(window));
        QTRY_COMPARE(m_root.activeWindow(), std::optional<xcb_window_t>(window));
        QTest::qWait(settleMs);
    }
    QStringList announced() const
    {
        QStringList result;
        for (const QList<QVariant> &arguments : *m_activations)
            result.append(describe(arguments.at(0).value<RunningApplication>()));
        return result;
    }
    const TrackedApp &tracked(const QString &name) const
    {
        for (const TrackedApp &app : m_store->trackedApps())
            if (app.name == name)
                return app;
        qFatal("not tracked");
    }

private slots:
    void initTestCase()
    {
        startWindowManager();
        QVERIFY(!QTest::currentTestFailed());
        m_alpha1 = startTerminal("NwAlpha", "nw-alpha-1");
        m_alpha2 = startTerminal("NwAlpha", "nw-alpha-2");
        m_beta = startTerminal("NwBeta", "nw-beta");
        m_unlisted = startTerminal("NwUnlisted", "nw-unlisted");
        QVERIFY(m_alpha1 && m_alpha2 && m_beta && m_unlisted);

        m_desktop = DesktopPlatform::create();
        m_defaults.values.insert(
            defaultsKeys::trackedAppPaths,
            QStringList{entryPath("alpha"), entryPath("beta"), entryPath("gamma")});
        DesktopPlatform &d = *m_desktop;
        m_store = std::make_unique<AppTrackerStore>(StoreServices{d.tracker(),
                                                                  d.opener(),
                                                                  d.icons(),
                                                                  d.bundleInfo(),
                                                                  d.fileSystem(),
                                                                  m_defaults,
                                                                  m_clock,
                                                                  m_scheduler,
                                                                  m_notifications,
                                                                  {}});
        QCOMPARE(int(m_store->trackedApps().size()), 3);
        m_store->startMonitoring();
        m_activations = std::make_unique<QSignalSpy>(&m_desktop->tracker(),
                                                     &FrontmostApplicationTracker::activated);
    }

    void oneActivationPerChangeOfApplication()
    {
        activate(m_alpha1);
        m_activations->clear();

        activate(m_beta);
        QCOMPARE(announced(), QStringList{"Beta Term|beta.desktop"});
        QVERIFY(tracked("Beta Term").isCurrentlyFocused);
        activate(m_alpha1);
        activate(m_alpha2); // a second window of the same application
        m_root.writeActiveWindow(XCB_WINDOW_NONE);
        QTest::qWait(settleMs);
        activate(m_alpha1);                 // back from None to the same application
        m_root.writeActiveWindow(m_alpha1); // the manager repeating itself
        QTest::qWait(settleMs);
        activate(m_unlisted);
        activate(m_beta);

        QWindow own;
        own.setTitle(QStringLiteral("nw-own-window"));
        own.resize(200, 100);
        own.show();
        QVERIFY(QTest::qWaitForWindowExposed(&own));
        // This program's own window is the program itself: leaving it for the
        // application used before is an activation of that application again.
        activate(xcb_window_t(own.winId()));
        QVERIFY(!tracked("Beta Term").isCurrentlyFocused);
        own.hide();
        activate(m_beta);

        const QString self =
            QCoreApplication::applicationName() + '|' + QCoreApplication::applicationFilePath();
        QCOMPARE(announced(),
                 QStringList({"Beta Term|beta.desktop", "Alpha Term|alpha.desktop", "NwUnlisted|",
                              "Beta Term|beta.desktop", self, "Beta Term|beta.desktop"}));
        QVERIFY(tracked("Beta Term").isCurrentlyFocused);
        QVERIFY(!tracked("Alpha Term").isCurrentlyFocused);
        const auto frontmost = m_desktop->tracker().frontmostApplication();
        QVERIFY(frontmost);
        QCOMPARE(frontmost->bundlePath, std::optional<QString>(entryPath("beta")));
    }

    void openingRaisesAnExistingWindow()
    {
        activate(m_beta);
        m_activations->clear();
        m_store->openApp(tracked("Alpha Term"));
        QTRY_VERIFY_WITH_TIMEOUT(
            m_root.activeWindow() == m_alpha1 || m_root.activeWindow() == m_alpha2, 5000);
        QTRY_COMPARE(announced(), QStringList{"Alpha Term|alpha.desktop"});
        QTRY_VERIFY(tracked("Alpha Term").isCurrentlyFocused);
        QTest::qWait(settleMs);
        QVERIFY2(!QFile::exists(marker("alpha")), "a window existed: nothing may be launched");
    }

    void openingLaunchesAnApplicationWithoutWindows()
    {
        m_store->openApp(tracked("Gamma Tool"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker("gamma")), 10000);
        QCOMPARE(readLines(marker("gamma")), QStringList{"--from-entry"});
        // A launched application is the desktop's, not a child left to rot.
        QTRY_COMPARE(zombieChildren(), QStringList{});
    }

    void shellSyntaxInExecStaysInert()
    {
        QVERIFY(m_desktop->opener().openApplication(entryPath("hostile")));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker("hostile")), 10000);
        QCOMPARE(readLines(marker("hostile")),
                 QStringList({";", "touch", marker("pwned-1"), "&&", "echo", "$(touch",
                              marker("pwned-2") + ")", "|", "tee", marker("pwned-3"), ">",
                              marker("pwned-4"), "quoted;arg"}));
        QTest::qWait(500);
        for (int i = 1; i <= 4; ++i)
            QVERIFY(!QFile::exists(marker(QStringLiteral("pwned-%1").arg(i))));
    }

    void keepsFollowingAfterTheWindowManagerRestarts()
    {
        ChildProcesses::stop(m_windowManager);
        QTRY_VERIFY(!m_root.windowManagerRunning());
        startWindowManager();
        QVERIFY(!QTest::currentTestFailed());
        QTest::qWait(settleMs);
        activate(m_unlisted);
        m_activations->clear();
        activate(m_beta);
        activate(m_alpha2);
        QCOMPARE(announced(), QStringList({"Beta Term|beta.desktop", "Alpha Term|alpha.desktop"}));
    }

    void cleanupTestCase()
    {
        m_activations.reset();
        m_store.reset();
        m_desktop.reset();
        m_children.stopAll();
    }
};

int main(int argc, char *argv[])
{
    QTemporaryDir dir;
    sandbox = &dir;
    if (!writeEntries())
        return 1;
    childEnvironment = QProcessEnvironment::systemEnvironment();
    childEnvironment.insert("XDG_CONFIG_HOME", sandboxPath("config"));
    childEnvironment.insert("DBUS_SESSION_BUS_ADDRESS",
                            "unix:path=/nonexistent/nudgewatch-e2e-bus");
    // GIO reads these once per process: set before anything asks.
    qputenv("XDG_DATA_HOME", QFile::encodeName(sandboxPath("data")));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(sandboxPath("empty")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(sandboxPath("config")));
    // No session bus: nothing may be auto-launched behind the test's back.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/nudgewatch-e2e-bus");
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_ACCESSIBILITY", "0");
    QGuiApplication app(argc, argv);
    X11WorkspaceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "platform_x11_workspace_test.moc"
