// Window -> application resolution over fixture folders of desktop entries.

#include "platform/ActivationFilter.h"
#include "platform/freedesktop/DesktopEntryScanner.h"
#include "platform/freedesktop/WindowResolver.h"
#include "platform/x11/X11WindowQuery.h"

#include <QtTest>

using namespace nudgewatch;

namespace {

const QString fixtures = QStringLiteral(NUDGEWATCH_FIXTURES "/desktop-entries");
const QString bin = QStringLiteral("/nonexistent/nudgewatch-fixture/bin/");

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
    DesktopEntryIndex m_index;

private slots:
    void initTestCase()
    {
        qputenv("LANGUAGE", "en");
        m_index = DesktopEntryIndex(scanDesktopEntries(
            {fixtures + "/user/applications", fixtures + "/system/applications"}));
    }

    void resolve_data()
    {
        QTest::addColumn<QList<WindowFacts>>("chain");
        QTest::addColumn<QString>("expected");
        const QString alpha =
            QStringLiteral("Terminal Alpha|system/applications/alpha-terminal.desktop");

        QTest::newRow("GTK application ID")
            << QList{facts("gtkapp", "Gtkapp", "org.example.GtkApp")}
            << "Gtk App|system/applications/org.example.GtkApp.desktop";
        QTest::newRow("unknown GTK application ID falls through to WM_CLASS")
            << QList{facts("x", "AlphaTerm", "org.example.Unknown")} << alpha;
        QTest::newRow("KDE desktop file, vendor-prefixed ID")
            << QList{facts("x", "y", {}, "kde-konsolish")}
            << "Konsolish|system/applications/kde/konsolish.desktop";
        QTest::newRow("KDE desktop file as a path")
            << QList{facts("x", "y", {}, fixtures + "/system/applications/my-app.desktop")}
            << "My App|system/applications/my-app.desktop";
        QTest::newRow("StartupWMClass before desktop IDs")
            << QList{facts("org.example.Editor", "AlphaTerm")} << alpha;
        // Wayland compositors report an Xwayland window's app id as WM_CLASS's class
        // (sway: "XTerm") or its instance (labwc: "xterm"); the resolver sees it as the class.
        QTest::newRow("StartupWMClass in another case") << QList{facts("", "alphaterm")} << alpha;
        QTest::newRow("StartupWMClass in capitals") << QList{facts("", "ALPHATERM")} << alpha;
        QTest::newRow("StartupWMClass exact when two differ only in case")
            << QList{facts("", "twinterm")} << "Twin Lower|system/applications/twin-lower.desktop";
        QTest::newRow("StartupWMClass exact, the other case")
            << QList{facts("", "TwinTerm")} << "Twin Upper|system/applications/twin-upper.desktop";
        QTest::newRow("case alone cannot choose between two StartupWMClass")
            << QList{facts("", "TWINTERM")} << "TWINTERM|";
        QTest::newRow("StartupWMClass of an entry kept out of menus")
            << QList{facts("menuhidden", "MenuHidden")}
            << "Menu Hidden|system/applications/menu-hidden.desktop";
        QTest::newRow("instance as desktop ID, user entry overrides system")
            << QList{facts("org.example.Editor", "Editor")}
            << "Editor|user/applications/org.example.Editor.desktop";
        QTest::newRow("lower-cased class") << QList{facts("Navigator", "Firefox-esr")}
                                           << "Firefox ESR|system/applications/firefox-esr.desktop";
        QTest::newRow("entry without Name is named after its file")
            << QList{facts("no-name-tool", "No-name-tool")}
            << "no-name-tool|system/applications/no-name-tool.desktop";
        QTest::newRow("executable against Exec")
            << QList{facts("pt", "Pt", {}, {}, bin + "programtool")}
            << "Program Tool|system/applications/program-tool.desktop";
        QTest::newRow("program named without a folder is found on PATH")
            << QList{facts("s", "S", {}, {}, QFileInfo("/bin/sh").canonicalFilePath())}
            << "shell runner|system/applications/shell-runner.desktop";
        QTest::newRow("executable shared by two entries resolves to neither")
            << QList{facts("script", "Script", {}, {}, bin + "interpreter")} << "Script|";
        QTest::newRow("WM_CLASS before executable")
            << QList{facts("AlphaTerm", "AlphaTerm", {}, {}, bin + "programtool")} << alpha;
        QTest::newRow("no match: the class names it")
            << QList{facts("zz", "Zz Unknown")} << "Zz Unknown|";
        QTest::newRow("dialog without facts: its parent")
            << QList{facts("", ""), facts("AlphaTerm", "AlphaTerm")} << alpha;
        QTest::newRow("unresolved dialog of unresolved parent keeps the dialog's class")
            << QList{facts("d", "Dialog Class"), facts("p", "Parent Class")} << "Dialog Class|";
    }
    void resolve()
    {
        QFETCH(QList<WindowFacts>, chain);
        QFETCH(QString, expected);
        QCOMPARE(describe(resolveRunningApplication(m_index, chain)), expected);
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

    // What any X client may put in WM_CLASS, split within the bytes read.
    void wmClass_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("instance");
        QTest::addColumn<QString>("wmClass");
        const QByteArray longName(8191, 'x');
        QTest::newRow("both ended") << QByteArray("xterm\0XTerm\0", 12) << "xterm"
                                    << "XTerm";
        QTest::newRow("class unended") << QByteArray("xterm\0XTerm", 11) << "xterm"
                                       << "XTerm";
        QTest::newRow("instance only, unended") << longName << QString(longName) << "";
        QTest::newRow("empty") << QByteArray() << ""
                               << "";
        QTest::newRow("more after the class") << QByteArray("a\0b\0c", 5) << "a"
                                              << "b";
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
