// The X11 workspace against a real X server, a real window manager (openbox)
// and real windows (xterm), feeding a real store. Run through
// platform_x11_session.sh, which provides the X server; the test starts and
// stops the rest itself, never through a shell. Losing the X server is the
// program's end-to-end test (app_main_e2e_test.sh).

#include "core/CReply.h"
#include "fakes/Fakes.h"
#include "fakes/Files.h"
#include "platform/DesktopPlatform.h"
#include "platform/session/ActivationFilter.h"
#include "platform/xcb/XcbConnection.h"

#include <QDir>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <sys/wait.h>

using namespace nudgewatch;

namespace {

QTemporaryDir *sandbox = nullptr;
// openbox needs the system's data folders for its theme; only this process
// sees the sandboxed ones.
QProcessEnvironment childEnvironment;
constexpr int settleMs = 300;

QString entryPath(const QString &name)
{
    return sandbox->filePath("data/applications/" + name + ".desktop");
}

QString marker(const QString &name)
{
    return sandbox->filePath("markers/" + name);
}

// Shell syntax that must reach the program as plain words, quotes taken off.
QString hostileArguments()
{
    return QStringLiteral("; touch %1 && echo $(touch %2) | tee %3 > %4 'quoted;arg'")
        .arg(marker("pwned-1"), marker("pwned-2"), marker("pwned-3"), marker("pwned-4"));
}

// Entries whose Exec writes a marker, so that launching one is visible.
bool writeEntries()
{
    const QList<QStringList> entries = {
        {"alpha", "Alpha Term", "NwAlpha", marker("alpha")},
        {"beta", "Beta Term", "NwBeta", marker("beta")},
        {"gamma", "Gamma Tool", "NwGamma", marker("gamma") + " --from-entry"},
        {"hostile", "Hostile", "NwHostile", marker("hostile") + ' ' + hostileArguments()},
    };
    for (const char *folder : {"markers", "empty", "config"})
        QDir().mkpath(sandbox->filePath(folder));
    return std::ranges::all_of(entries, [](const QStringList &e) {
        return fakes::writeFile(
            entryPath(e[0]),
            QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nStartupWMClass=%2\n"
                           "Exec=%3 %4\n")
                .arg(e[1], e[2], NUDGEWATCH_MARKER, e[3])
                .toUtf8());
    });
}

// "name|entry", "-" for what the application does not say.
QString describe(const RunningApplication &app)
{
    return app.localizedName.value_or("-") + '|' +
           app.bundlePath.value_or("-").remove(sandbox->filePath("data/applications/"));
}

// Whether a child of this process ended and was never reaped (it stays
// waitable: nothing is reaped here).
bool unreapedChild()
{
    siginfo_t info{};
    return waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
}

// xdotool run to its end: its standard output, trimmed; none when it failed.
std::optional<QString> xdotool(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(15000) || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

} // namespace

class X11WorkspaceTest : public QObject {
    Q_OBJECT
private:
    // Destroyed last, so every child is stopped after the services using it.
    std::vector<std::unique_ptr<QProcess>> m_children;
    QProcess *m_windowManager = nullptr;
    std::unique_ptr<XcbConnection> m_x = XcbConnection::open();
    xcb_window_t m_alpha1 = 0, m_alpha2 = 0, m_beta = 0, m_unlisted = 0, m_bare = 0, m_own = 0;
    QWindow m_ownWindow;
    std::unique_ptr<DesktopPlatform> m_desktop;
    fakes::FakeClock m_clock;
    fakes::FakeScheduler m_scheduler{m_clock};
    fakes::FakeDefaults m_defaults;
    NotificationCenter m_notifications;
    std::unique_ptr<AppTrackerStore> m_store;
    std::unique_ptr<QSignalSpy> m_activations;

    QProcess *start(const QString &program, const QStringList &arguments)
    {
        QProcess &process = *m_children.emplace_back(std::make_unique<QProcess>());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setProcessEnvironment(childEnvironment);
        process.start(program, arguments);
        return process.waitForStarted(5000) ? &process : nullptr;
    }
    static void stop(QProcess *process)
    {
        process->terminate();
        if (!process->waitForFinished(3000))
            process->kill();
        process->waitForFinished(3000);
    }
    // Whether _NET_SUPPORTING_WM_CHECK names a window that exists.
    bool windowManagerRunning()
    {
        xcb_window_t window = XCB_WINDOW_NONE;
        xcb_ewmh_connection_t *ewmh = m_x->ewmh();
        if (!xcb_ewmh_get_supporting_wm_check_reply(
                ewmh, xcb_ewmh_get_supporting_wm_check(ewmh, m_x->root()), &window, nullptr))
            return false;
        xcb_connection_t *c = m_x->connection();
        return bool(owned(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr)));
    }
    bool startWindowManager()
    {
        m_windowManager = start("openbox", {"--sm-disable"});
        if (!m_windowManager || !QTest::qWaitFor([this] { return windowManagerRunning(); }, 10000))
            return false;
        QTest::qWait(settleMs);
        return m_windowManager->state() == QProcess::Running;
    }
    // Writes _NET_ACTIVE_WINDOW as a window manager would (None or a repeat).
    void writeActiveWindow(xcb_window_t window)
    {
        xcb_change_property(m_x->connection(), XCB_PROP_MODE_REPLACE, m_x->root(),
                            m_x->ewmh()->_NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 32, 1, &window);
        // A round trip, so the change has reached the server.
        owned(xcb_get_input_focus_reply(m_x->connection(), xcb_get_input_focus(m_x->connection()),
                                        nullptr));
        QTest::qWait(settleMs);
    }
    xcb_window_t startTerminal(const QString &wmClass, const QString &title)
    {
        start("xterm", {"-class", wmClass, "-title", title, "-e", "sleep", "600"});
        const auto found = xdotool({"search", "--sync", "--name", '^' + title + '$'});
        return found ? found->section('\n', 0, 0).toUInt() : 0;
    }
    // Activates through the window manager and checks that it took effect.
    void activate(xcb_window_t window)
    {
        QVERIFY(xdotool({"windowactivate", "--sync", QString::number(window)}));
        QTRY_COMPARE(xdotool({"getactivewindow"}).value_or(""), QString::number(window));
        QTest::qWait(settleMs);
    }
    QStringList announced() const
    {
        QStringList result;
        for (const QList<QVariant> &arguments : *m_activations)
            result.append(describe(arguments.at(0).value<RunningApplication>()));
        return result;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_x);
        QVERIFY(startWindowManager());
        m_alpha1 = startTerminal("NwAlpha", "nw-alpha-1");
        m_alpha2 = startTerminal("NwAlpha", "nw-alpha-2");
        m_beta = startTerminal("NwBeta", "nw-beta");
        m_unlisted = startTerminal("NwUnlisted", "nw-unlisted");
        QVERIFY(m_alpha1 && m_alpha2 && m_beta && m_unlisted);
        m_bare = xcb_generate_id(m_x->connection());
        xcb_create_window(m_x->connection(), XCB_COPY_FROM_PARENT, m_bare, m_x->root(), 0, 0, 10,
                          10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        m_ownWindow.resize(200, 100);
        m_ownWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_ownWindow));
        m_own = xcb_window_t(m_ownWindow.winId());

        m_desktop = DesktopPlatform::create();
        m_defaults.values.insert(
            defaultsKeys::trackedAppPaths,
            QStringList{entryPath("alpha"), entryPath("beta"), entryPath("gamma")});
        DesktopPlatform &d = *m_desktop;
        const StoreServices services{d.tracker(),     d.opener(), d.icons(), d.bundleInfo(),
                                     d.fileSystem(),  m_defaults, m_clock,   m_scheduler,
                                     m_notifications, {}};
        m_store = std::make_unique<AppTrackerStore>(services);
        // In the order given: Alpha, Beta, Gamma.
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
        activate(m_alpha1);
        activate(m_alpha2);                 // a second window of the same application
        writeActiveWindow(XCB_WINDOW_NONE); // nothing in front: Alpha is left...
        activate(m_alpha1);                 // ...and comes back
        writeActiveWindow(m_alpha1);        // the manager repeating itself
        // No WM_CLASS, no _NET_WM_PID: the unknown application, not the one before.
        writeActiveWindow(m_bare);
        QCOMPARE(describe(m_desktop->tracker().frontmostApplication().value()), "|");
        activate(m_unlisted);
        activate(m_beta);

        // This program's own window is the program itself: leaving it for the
        // application used before is an activation of that application again.
        activate(m_own);
        QVERIFY(!m_store->trackedApps().at(1).isCurrentlyFocused);
        activate(m_beta);

        const QString self =
            QCoreApplication::applicationName() + '|' + QCoreApplication::applicationFilePath();
        // The window manager may pass through no window between two; Alpha
        // announced twice shows nothing in front came between its windows.
        QStringList seen = announced();
        seen.removeAll("|");
        QCOMPARE(seen, QStringList({"Beta Term|beta.desktop", "Alpha Term|alpha.desktop",
                                    "Alpha Term|alpha.desktop", "NwUnlisted|-",
                                    "Beta Term|beta.desktop", self, "Beta Term|beta.desktop"}));
        QVERIFY(m_store->trackedApps().at(1).isCurrentlyFocused);
        QVERIFY(!m_store->trackedApps().at(0).isCurrentlyFocused);
        QCOMPARE(describe(m_desktop->tracker().frontmostApplication().value()),
                 "Beta Term|beta.desktop");
    }

    void openingRaisesAnExistingWindow()
    {
        activate(m_beta);
        m_activations->clear();
        m_store->openApp(m_store->trackedApps().at(0));
        QTRY_COMPARE_WITH_TIMEOUT(announced(), QStringList{"Alpha Term|alpha.desktop"}, 5000);
        QTest::qWait(settleMs);
        QVERIFY2(!QFile::exists(marker("alpha")), "a window existed: nothing may be launched");
    }

    // An entry without windows is launched, its Exec split into words as the
    // desktop does: shell syntax reaches the program as plain words.
    void launchingPassesExecWords_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("arguments") << "gamma" << QStringList{"--from-entry"};
        QTest::newRow("shell syntax") << "hostile" << hostileArguments().remove('\'').split(' ');
    }
    void launchingPassesExecWords()
    {
        QFETCH(QString, entry);
        QFETCH(QStringList, words);
        QVERIFY(m_desktop->opener().openApplication(entryPath(entry)));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker(entry)), 10000);
        QCOMPARE(QString::fromUtf8(fakes::readFile(marker(entry))).split('\n', Qt::SkipEmptyParts),
                 words);
        // A launched application is the desktop's, not a child left to rot.
        QTRY_VERIFY(!unreapedChild());
        QTest::qWait(500);
        for (int i = 1; i <= 4; ++i)
            QVERIFY(!QFile::exists(marker(QStringLiteral("pwned-%1").arg(i))));
    }

    void keepsFollowingAfterTheWindowManagerRestarts()
    {
        stop(m_windowManager);
        QTRY_VERIFY(!windowManagerRunning());
        QVERIFY(startWindowManager());
        activate(m_unlisted);
        m_activations->clear();
        activate(m_beta);
        activate(m_alpha2);
        QCOMPARE(announced(), QStringList({"Beta Term|beta.desktop", "Alpha Term|alpha.desktop"}));
    }

    void cleanupTestCase()
    {
        // Newest first: windows before their window manager.
        for (auto it = m_children.rbegin(); it != m_children.rend(); ++it)
            stop(it->get());
    }
};

int main(int argc, char *argv[])
{
    QTemporaryDir dir;
    sandbox = &dir;
    if (!writeEntries())
        return 1;
    childEnvironment = QProcessEnvironment::systemEnvironment();
    childEnvironment.insert("XDG_CONFIG_HOME", sandbox->filePath("config"));
    childEnvironment.insert("DBUS_SESSION_BUS_ADDRESS",
                            "unix:path=/nonexistent/nudgewatch-e2e-bus");
    // GIO reads these once per process: set before anything asks.
    qputenv("XDG_DATA_HOME", QFile::encodeName(sandbox->filePath("data")));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(sandbox->filePath("empty")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(sandbox->filePath("config")));
    // No session bus: nothing may be auto-launched behind the test's back.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/nudgewatch-e2e-bus");
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_ACCESSIBILITY", "0");
    QGuiApplication app(argc, argv);
    X11WorkspaceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "platform_x11_workspace_test.moc"
