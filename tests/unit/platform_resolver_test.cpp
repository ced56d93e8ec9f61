// Window -> application resolution over fixture folders of desktop entries, and
// over tracked entries outside them (picked with "Browse…").

#include "fakes/Files.h"
#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/freedesktop/LauncherScript.h"
#include "platform/freedesktop/WindowResolver.h"
#include "platform/session/ActivationFilter.h"
#include "platform/x11/X11WindowQuery.h"

#include <QtTest>

using namespace nudgewatch;

namespace {

const QString fixtures = QStringLiteral(NUDGEWATCH_FIXTURES "/desktop-entries");
const QString bin = QFileInfo(fixtures + "/bin").canonicalFilePath() + '/';
const QString launcher = fixtures + "/elsewhere/picked-tool.desktop";
const QString programTool = fixtures + "/system/applications/program-tool.desktop";

WindowFacts facts(const QString &instance, const QString &wmClass, const QString &gtk = {},
                  const QString &kde = {}, const QString &executable = {})
{
    return {instance, wmClass, gtk, kde, executable};
}

// "Name|relative/path" for a resolved entry, "Name|" for a name alone, "|" for nothing.
QString describe(const RunningApplication &application)
{
    return application.localizedName.value_or(QString()) + QLatin1Char('|') +
           application.bundlePath.value_or(QString()).remove(fixtures + QLatin1Char('/'));
}

} // namespace

class ResolverTest : public QObject {
    Q_OBJECT
private:
    std::optional<DesktopEntryRegistry> m_registry;

private slots:
    void initTestCase()
    {
        qputenv("LANGUAGE", "en");
        fakes::useDesktopEntries(fixtures + "/user", {fixtures + "/system"});
        // Tracked, the picked tool stands in for the program tool, as a
        // desktop's launcher does for the application it starts.
        m_registry.emplace([](const QStringList &tracked, const std::vector<DesktopEntry> &) {
            QHash<QString, QString> launcherFor;
            if (tracked.contains(launcher))
                launcherFor[programTool] = launcher;
            return launcherFor;
        });
        m_registry->index(); // read before the tracked entries are known, as at start-up
    }

    void resolve_data()
    {
        QTest::addColumn<QList<WindowFacts>>("chain");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("tracked"); // entries below the fixtures
        const auto row = [](const char *tag, const QList<WindowFacts> &chain,
                            const QString &expected, const QStringList &tracked = {}) {
            QTest::newRow(tag) << chain << expected << tracked;
        };
        const QString alpha = "Terminal Alpha|system/applications/alpha-terminal.desktop";
        row("GTK application ID", {facts("gtkapp", "Gtkapp", "org.example.GtkApp")},
            "Gtk App|system/applications/org.example.GtkApp.desktop");
        row("unknown GTK application ID falls through to WM_CLASS",
            {facts("x", "AlphaTerm", "org.example.Unknown")}, alpha);
        row("KDE desktop file, vendor-prefixed ID", {facts("x", "y", {}, "kde-konsolish")},
            "Konsolish|system/applications/kde/konsolish.desktop");
        row("KDE desktop file as a path",
            {facts("x", "y", {}, fixtures + "/system/applications/my-app.desktop")},
            "My App|system/applications/my-app.desktop");
        row("StartupWMClass before desktop IDs", {facts("org.example.Editor", "AlphaTerm")}, alpha);
        // Wayland compositors report an Xwayland window's app id as WM_CLASS's class
        // (sway: "XTerm") or its instance (labwc: "xterm"); the resolver sees it as the class.
        row("StartupWMClass in another case", {facts("", "alphaterm")}, alpha);
        row("StartupWMClass in capitals", {facts("", "ALPHATERM")}, alpha);
        row("StartupWMClass exact when two differ only in case", {facts("", "twinterm")},
            "Twin Lower|system/applications/twin-lower.desktop");
        row("StartupWMClass exact, the other case", {facts("", "TwinTerm")},
            "Twin Upper|system/applications/twin-upper.desktop");
        row("case alone cannot choose between two StartupWMClass", {facts("", "TWINTERM")},
            "TWINTERM|");
        row("StartupWMClass of an entry kept out of menus", {facts("menuhidden", "MenuHidden")},
            "Menu Hidden|system/applications/menu-hidden.desktop");
        row("instance as desktop ID, user entry overrides system",
            {facts("org.example.Editor", "Editor")},
            "Editor|user/applications/org.example.Editor.desktop");
        row("lower-cased class", {facts("Navigator", "Firefox-esr")},
            "Firefox ESR|system/applications/firefox-esr.desktop");
        row("entry without Name is named after its file", {facts("no-name-tool", "No-name-tool")},
            "no-name-tool|system/applications/no-name-tool.desktop");
        row("executable against Exec", {facts("pt", "Pt", {}, {}, bin + "programtool")},
            "Program Tool|system/applications/program-tool.desktop");
        row("program named without a folder is found on PATH",
            {facts("s", "S", {}, {}, QFileInfo("/bin/sh").canonicalFilePath())},
            "shell runner|system/applications/shell-runner.desktop");
        row("executable shared by two entries resolves to neither",
            {facts("script", "Script", {}, {}, bin + "interpreter")}, "Script|");
        // A window started with a class of its own ("xterm -class Foo") is the entry naming that
        // class, even where its instance names another entry in another case.
        row("exact class before the instance in another case", {facts("alphaterm", "Foo")},
            "Foo Term|user/applications/foo-term.desktop");
        row("exact desktop ID before StartupWMClass in another case",
            {facts("org.example.Editor", "ALPHATERM")},
            "Editor|user/applications/org.example.Editor.desktop");
        row("program shared with its settings entry and a hidden one",
            {facts("st", "St", {}, {}, bin + "sharedtool")},
            "Shared Tool|system/applications/shared-tool.desktop");
        const WindowFacts launched{
            "java", "Java",          {},
            {},     "/usr/bin/java", fixtures + "/system/applications/my-app.desktop"};
        row("unnamed window: the entry its launch recorded", {launched},
            "My App|system/applications/my-app.desktop");
        row("WM_CLASS before executable",
            {facts("AlphaTerm", "AlphaTerm", {}, {}, bin + "programtool")}, alpha);
        row("no match: the class names it", {facts("zz", "Zz Unknown")}, "Zz Unknown|");
        row("dialog without facts: its parent", {facts("", ""), facts("AlphaTerm", "AlphaTerm")},
            alpha);
        row("unresolved dialog of unresolved parent keeps the dialog's class",
            {facts("d", "Dialog Class"), facts("p", "Parent Class")}, "Dialog Class|");
        const QString picked = "Picked Tool|elsewhere/picked-tool.desktop";
        row("untracked entry: unknown", {facts("pickedtool", "PickedToolWindow")},
            "PickedToolWindow|");
        row("tracked: StartupWMClass", {facts("pickedtool", "PickedToolWindow")}, picked,
            {"elsewhere/picked-tool.desktop"});
        row("tracked: file ID", {facts("picked-tool", "Picked-tool")}, picked,
            {"elsewhere/picked-tool.desktop"});
        row("tracked: program", {facts("x", "X", {}, {}, bin + "pickedtool")}, picked,
            {"elsewhere/picked-tool.desktop"});
        row("tracked launcher: the application it starts counts as it",
            {facts("pt", "Pt", {}, {}, bin + "programtool")},
            "Program Tool|elsewhere/picked-tool.desktop", {"elsewhere/picked-tool.desktop"});
        // The user's own copy of an installed entry is the one their windows belong to.
        row("tracked copy before the installed entry", {facts("alpha", "AlphaTerm")},
            "My Alpha|elsewhere/alpha-terminal.desktop", {"elsewhere/alpha-terminal.desktop"});
        row("missing tracked file: folders only", {facts("alpha", "AlphaTerm")}, alpha,
            {"elsewhere/gone.desktop"});
        row("installed entry tracked: itself", {facts("alpha", "AlphaTerm")}, alpha,
            {"system/applications/alpha-terminal.desktop"});
    }
    void resolve()
    {
        QFETCH(QList<WindowFacts>, chain);
        QFETCH(QString, expected);
        QFETCH(QStringList, tracked);
        for (QString &name : tracked)
            name = fixtures + '/' + name;
        m_registry->setTrackedEntries(tracked);
        QCOMPARE(describe(resolveRunningApplication(m_registry->index(), chain)), expected);
        // Open on a tracked launcher raises the windows of what it starts.
        QCOMPARE(m_registry->index().launchedPath(launcher),
                 tracked.contains(launcher) ? programTool : launcher);
    }

    void activations_data()
    {
        // Each step: an application name, "-" for None, "*" for one of the program's own windows.
        QTest::addColumn<QStringList>("observed");
        QTest::addColumn<QStringList>("announced");
        QTest::newRow("repeats") << QStringList{"A", "A", "B", "B", "A"}
                                 << QStringList{"A", "B", "A"};
        QTest::newRow("back from the program's own window")
            << QStringList{"A", "*", "-", "*", "A"} << QStringList{"A", "*", "A"};
    }
    void activations()
    {
        QFETCH(QStringList, observed);
        QFETCH(QStringList, announced);
        ActivationFilter filter;
        QStringList result;
        for (const QString &step : observed) {
            const std::optional<RunningApplication> application =
                step == "*"   ? ownApplication()
                : step == "-" ? std::nullopt
                              : std::optional(RunningApplication{step, "/apps/" + step});
            if (const auto changed = filter.observe(application))
                result.append(changed == ownApplication() ? "*" : *changed->localizedName);
        }
        QCOMPARE(result, announced);
    }

    void launchRecord_data()
    {
        QTest::addColumn<QByteArray>("environment");
        QTest::addColumn<QString>("expected");
        const QByteArray file = "GIO_LAUNCHED_DESKTOP_FILE=/usr/share/applications/jedit.desktop";
        const auto env = [&](const QByteArray &pid) {
            return QByteArray("HOME=/root\0", 11) + file + '\0' +
                   "GIO_LAUNCHED_DESKTOP_FILE_PID=" + pid + '\0';
        };
        const QString jedit = "/usr/share/applications/jedit.desktop";
        QTest::newRow("the process itself") << env("40") << jedit;
        QTest::newRow("started by the launched script") << env("39") << jedit;
        QTest::newRow("inherited from further up") << env("2") << "";
        QTest::newRow("no pid") << QByteArray(file + '\0') << "";
        QTest::newRow("unended last variable") << env("40").chopped(1) << jedit;
        QTest::newRow("relative file") << QByteArray("GIO_LAUNCHED_DESKTOP_FILE=jedit.desktop\0"
                                                     "GIO_LAUNCHED_DESKTOP_FILE_PID=40")
                                       << "";
    }
    void launchRecord()
    {
        QFETCH(QByteArray, environment);
        QFETCH(QString, expected);
        QCOMPARE(launchedEntryOf(environment, 40, 39), expected);
    }

    void execTargets_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QStringList>("targets");
        QTest::newRow("perl") << QByteArray("#!/usr/bin/perl\nexec('xfce4-terminal',@args);\n")
                              << QStringList{"xfce4-terminal"};
        QTest::newRow("shell, in order")
            << QByteArray("#!/bin/sh\nif x; then exec /usr/bin/gnome-www-browser \"$@\"\n"
                          "  else exec x-www-browser \"$@\"; fi\n")
            << QStringList{"/usr/bin/gnome-www-browser", "x-www-browser"};
        QTest::newRow("variables, options, comments and longer words pass")
            << QByteArray("#!/bin/sh\n# exec commented\nexec \"$XTERM\"\nexec -a n x\n"
                          "execute me\nos.execvp(y)\n")
            << QStringList();
    }
    void execTargets()
    {
        QFETCH(QByteArray, script);
        QFETCH(QStringList, targets);
        QCOMPARE(nudgewatch::execTargets(script), targets);
    }

    // What any X client may put in WM_CLASS, split within the bytes read.
    void wmClass_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("instance");
        QTest::addColumn<QString>("wmClass");
        const QByteArray longName(8191, 'x');
        QTest::newRow("both ended")
            << QByteArray("xterm\0XTerm\0", 12) << "xterm" << QString("XTerm");
        QTest::newRow("class unended")
            << QByteArray("xterm\0XTerm", 11) << "xterm" << QString("XTerm");
        QTest::newRow("instance only, unended") << longName << QString(longName) << "";
        QTest::newRow("empty") << QByteArray() << QString() << QString();
        QTest::newRow("more after the class") << QByteArray("a\0b\0c", 5) << "a" << QString("b");
    }
    void wmClass()
    {
        QFETCH(QByteArray, value);
        QFETCH(QString, instance);
        QFETCH(QString, wmClass);
        // A copy of exactly the bytes read: reading one past them shows under the sanitizers.
        const std::unique_ptr<char[]> exact(new char[std::size_t(value.size())]);
        std::copy(value.cbegin(), value.cend(), exact.get());
        const auto [readInstance, readClass] =
            splitWmClass(QByteArrayView(exact.get(), value.size()));
        QCOMPARE(readInstance, instance);
        QCOMPARE(readClass, wmClass);
    }
};

QTEST_GUILESS_MAIN(ResolverTest)
#include "platform_resolver_test.moc"
