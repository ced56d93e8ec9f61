// The GNOME Shell route: the extension's focus reports to applications, the
// update decision, the status told, the extension's files in a user's folder.
#include "fakes/PrivateBus.h"
#include "platform/ActivationFilter.h"
#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/gnome/GnomeShellTracker.h"
#include "platform/gnome/ShellExtensionFiles.h"
#include "platform/gnome/ShellFocus.h"
#include "platform/gnome/ShellSettings.h"

#include <QDBusContext>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace nudgewatch;
using namespace nudgewatch::shellExtension;

using Arguments = QList<QVariant>;
using Application = std::optional<RunningApplication>;
Q_DECLARE_METATYPE(Application)
Q_DECLARE_METATYPE(nudgewatch::shellExtension::Facts)
Q_DECLARE_METATYPE(nudgewatch::ShellExtensionLists)

namespace {

constexpr qint64 ownPid = 4242;

RunningApplication app(const QString &name, const std::optional<QString> &path = std::nullopt)
{
    return {name, path};
}

Facts facts(bool answering, Facts::Folder folder, bool enabled = false, bool changed = false,
            bool supported = true, const QString &error = {})
{
    return {answering, folder, enabled, changed, supported, error, {}};
}

// The extension's side of GetFocus: each call takes the next plan ("fail",
// "hold" for an answer given later, or the name of an application to answer
// with); the last plan repeats.
class FakeExtension : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.nudgewatch.Focus")
public:
    QStringList plans{QStringLiteral("fail")};
    int calls = 0;
    qsizetype mostHeld = 0;
    QList<QDBusMessage> held;

public slots:
    QString GetFocus(QString &name, int &pid)
    {
        ++calls;
        const QString plan = plans.size() > 1 ? plans.takeFirst() : plans.front();
        if (plan == QLatin1String("fail")) {
            sendErrorReply(QDBusError::Failed, QStringLiteral("the extension is broken"));
            return {};
        }
        if (plan == QLatin1String("hold")) {
            setDelayedReply(true);
            held.append(message());
            mostHeld = std::max(mostHeld, held.size());
            return {};
        }
        name = plan;
        pid = 0;
        return plan + QStringLiteral(".desktop");
    }
};

// GNOME Shell's version, as its bus object tells it.
class FakeShell : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Shell")
    Q_PROPERTY(QString ShellVersion READ shellVersion)
public:
    QString shellVersion() const { return QStringLiteral("46.2"); }
};

QDBusMessage focusChanged(const QString &name)
{
    QDBusMessage signal = QDBusMessage::createSignal(objectPath, interfaceName, "FocusChanged");
    signal << name + QStringLiteral(".desktop") << name << 0;
    return signal;
}

// Lets calls and answers travel between the two connections and be handled.
void pump(QDBusConnection a, QDBusConnection b)
{
    for (int i = 0; i < 10; ++i) {
        fakes::PrivateBus::settle(a, b);
        fakes::PrivateBus::settle(b, a);
        QCoreApplication::processEvents();
    }
}

} // namespace

class GnomeExtensionTest : public QObject {
    Q_OBJECT
private slots:
    void focusToApplication_data();
    void focusToApplication();
    void updateDecision_data();
    void updateDecision();
    void status_data();
    void status();
    void install();
    void turnOn_data();
    void turnOn();
    void focusCallsOnTheBus_data();
    void focusCallsOnTheBus();
    void installOverAnObstacleSaysWhere_data();
    void installOverAnObstacleSaysWhere();
};

void GnomeExtensionTest::focusToApplication_data()
{
    QTest::addColumn<Arguments>("arguments");
    QTest::addColumn<QString>("executable");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<Application>("expected");
    const QString foot = QStringLiteral("/apps/foot.desktop");
    const auto row = [](const char *name, const QString &id, const QString &shellName,
                        int pid) -> QTestData & {
        return QTest::newRow(name) << Arguments{id, shellName, pid};
    };
    row("desktop id", "foot.desktop", "foot", 10) << "" << true << Application(app("Foot", foot));
    row("unknown desktop id", "gedit.desktop", "Text", 10)
        << "" << true << Application(app("Text"));
    row("window without entry", "window:7", "Tool", 10) << "" << true << Application(app("Tool"));
    row("window of a known program", "window:7", "t", 10)
        << "/usr/bin/foot" << true << Application(app("Foot", foot));
    row("own window", "window:3", "nudgewatch", int(ownPid))
        << "" << true << Application(ownApplication());
    row("nothing focused", "", "", -1) << "" << true << Application();
    row("path as id", "/apps/foot.desktop", "", 10) << "" << false << Application();
    row("hidden id", ".desktop", "", 10) << "" << false << Application();
    row("window without number", "window:", "", 10) << "" << false << Application();
    row("other id", "foot", "", 10) << "" << false << Application();
    row("control character", "fo\not.desktop", "", 10) << "" << false << Application();
    row("id too long", QString(600, u'a') + ".desktop", "", 10) << "" << false << Application();
    QTest::newRow("pid as unsigned")
        << Arguments{"foot.desktop", "foot", 10u} << "" << false << Application();
    QTest::newRow("two arguments")
        << Arguments{"foot.desktop", "foot"} << "" << false << Application();
}

void GnomeExtensionTest::focusToApplication()
{
    QFETCH(Arguments, arguments);
    QFETCH(QString, executable);
    QFETCH(bool, valid);
    QFETCH(Application, expected);
    const DesktopEntryIndex index({{QStringLiteral("foot.desktop"),
                                    QStringLiteral("/apps/foot.desktop"),
                                    QStringLiteral("Foot"),
                                    {},
                                    {},
                                    {},
                                    {QStringLiteral("/usr/bin/foot")},
                                    true}});
    const std::optional<ShellFocus> focus = focusFromArguments(arguments);
    QCOMPARE(focus.has_value(), valid);
    if (focus)
        QCOMPARE(applicationForFocus(index, *focus, ownPid, executable), expected);
    // Names are cut to what is ever shown.
    const auto longName = focusFromArguments({"window:1", QString(100000, u'n'), 1});
    QVERIFY(longName && longName->name.size() == longestShownText);
}

void GnomeExtensionTest::updateDecision_data()
{
    QTest::addColumn<QString>("installedFor"); // the shell version the files were written for
    QTest::addColumn<int>("installedVersion");
    QTest::addColumn<QString>("runningShell");
    QTest::addColumn<bool>("update");
    QTest::newRow("current, same shell") << "43.9" << version << "43.9" << false;
    QTest::newRow("current, next minor shell") << "45.1" << version << "47.rc" << false;
    QTest::newRow("older version") << "43" << version - 1 << "43" << true;
    QTest::newRow("legacy files, modules shell") << "44" << version << "GNOME Shell 45.0" << true;
    QTest::newRow("unknown newer shell") << "46" << version << "58.2" << true;
    QTest::newRow("newer shell, written for it") << "58" << version << "58.1" << false;
    QTest::newRow("running shell unknown") << "43" << version << "" << false;
    QTest::newRow("running shell too old") << "43" << version << "3.38" << false;
}

void GnomeExtensionTest::updateDecision()
{
    QFETCH(QString, installedFor);
    QFETCH(int, installedVersion);
    QFETCH(QString, runningShell);
    QFETCH(bool, update);
    const int major = *majorVersion(installedFor);
    QByteArray metadata = metadataFor(*formatFor(major), major);
    metadata.replace(QByteArray("\"version\": ") + QByteArray::number(version),
                     QByteArray("\"version\": ") + QByteArray::number(installedVersion));
    const std::optional<Installed> installed = parseMetadata(metadata);
    QVERIFY(installed && installed->version == installedVersion);
    QCOMPARE(needsUpdate(*installed, majorVersion(runningShell)), update);
    QVERIFY(!parseMetadata(QByteArray(metadata).replace("nudgewatch@", "other@")));
}

void GnomeExtensionTest::status_data()
{
    QTest::addColumn<Facts>("facts");
    QTest::addColumn<bool>("tracking");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("told"); // a phrase of the explanation
    using F = Facts::Folder;
    QTest::newRow("answering") << facts(true, F::Ours, true) << true << ""
                               << "";
    QTest::newRow("not installed")
        << facts(false, F::Missing) << false << "Install GNOME Shell Extension"
        << "nothing else";
    QTest::newRow("just installed") << facts(false, F::Ours, true, true) << false << ""
                                    << "log out and log in again";
    QTest::newRow("turned off") << facts(false, F::Ours, false) << false
                                << "Turn On GNOME Shell Extension"
                                << "Extensions app";
    QTest::newRow("updated, turned off")
        << facts(false, F::Ours, false, true) << false << "Turn On GNOME Shell Extension"
        << "turned off";
    QTest::newRow("on, not started") << facts(false, F::Ours, true) << false << ""
                                     << "log out and log in again";
    QTest::newRow("folder not ours")
        << facts(false, F::Foreign) << false << "Install GNOME Shell Extension"
        << "does not replace";
    Facts linked = facts(false, F::Foreign);
    linked.obstacle = "a link to /tmp/x is at /home/u/.local/share/gnome-shell/extensions/n";
    QTest::newRow("what is in the way, and where")
        << linked << false << "Install GNOME Shell Extension" << linked.obstacle;
    QTest::newRow("old shell") << facts(false, F::Missing, false, false, false) << false << ""
                               << "too old";
    QTest::newRow("setup failed") << facts(false, F::Missing, false, false, true, "disk full")
                                  << false << "Install GNOME Shell Extension"
                                  << "disk full";
}

void GnomeExtensionTest::status()
{
    QFETCH(Facts, facts);
    QFETCH(bool, tracking);
    QFETCH(QString, action);
    QFETCH(QString, told);
    const TrackerStatus status = statusFor(facts);
    QCOMPARE(status.tracking, tracking);
    QCOMPARE(status.setupAction, action);
    QVERIFY2(status.explanation.contains(told), qPrintable(status.explanation));
}

void GnomeExtensionTest::install()
{
    QTemporaryDir home;
    const QString extensions = home.filePath(QStringLiteral("extensions"));
    const ShellExtensionFiles files(extensions);
    QCOMPARE(files.state(), Facts::Folder::Missing);
    QCOMPARE(files.install(Format::Legacy, 43), QString());
    QCOMPARE(files.installed(), parseMetadata(metadataFor(Format::Legacy, 43)));
    QFile script(files.folder() + QStringLiteral("/extension.js"));
    QVERIFY(script.open(QIODevice::ReadOnly));
    const QByteArray legacy = script.readAll();
    // The version the program compares is the one the extension answers with.
    QVERIFY(legacy.contains("function enable()") &&
            legacy.contains("const VERSION = " + QByteArray::number(version) + ';'));

    // A newer shell: the module form replaces the files in place.
    QCOMPARE(files.install(Format::Modules, 46), QString());
    QVERIFY(needsUpdate(*files.installed(), 43) && !needsUpdate(*files.installed(), 46));
    QCOMPARE(QDir(extensions).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{uuid});

    // A linked extensions folder is left alone (obstacles at the extension's
    // own place: installOverAnObstacleSaysWhere).
    QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("elsewhere"))));
    const ShellExtensionFiles linked(home.filePath(QStringLiteral("linked")));
    QVERIFY(QFile::link(home.filePath(QStringLiteral("elsewhere")),
                        linked.folder().section('/', 0, -2)));
    QCOMPARE(linked.install(Format::Modules, 46),
             "a link to " + home.filePath("elsewhere") + " is at " + home.filePath("linked"));
    QVERIFY(QDir(home.filePath(QStringLiteral("elsewhere"))).isEmpty());
}

// Steps: "plan P…" (the extension's next answers), "own" (it takes its bus
// name), "leave" (its connection ends), "report NAME" (FocusChanged), "burst N
// NAME" (N reports at once), "answer NAME" or "fail" (for the held calls).
void GnomeExtensionTest::focusCallsOnTheBus_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("mostCalls");
    QTest::addColumn<bool>("tracking");
    QTest::addColumn<QString>("front");
    QTest::newRow("a failing GetFocus and a burst of focus reports")
        << QStringList{"plan fail", "own", "burst 300 foot"} << 4 << false << "foot";
    QTest::newRow("an answer overtaken by a focus report")
        << QStringList{"plan hold", "own", "report xterm", "answer foot"} << 1 << true << "xterm";
    QTest::newRow("a late failure after a newer report")
        << QStringList{"plan hold xterm", "own", "report foot", "fail"} << 2 << true << "xterm";
    QTest::newRow("a failure with no report since")
        << QStringList{"plan hold", "own", "fail"} << 1 << false << "-";
    QTest::newRow("the extension answers, then leaves")
        << QStringList{"plan foot", "own", "leave"} << 1 << false << "foot";
}

void GnomeExtensionTest::focusCallsOnTheBus()
{
    QFETCH(QStringList, steps);
    QFETCH(int, mostCalls);
    QFETCH(bool, tracking);
    QFETCH(QString, front);
    fakes::PrivateBus bus;
    if (!bus.isRunning())
        QSKIP("dbus-daemon is not installed");
    QDBusConnection own = bus.connect(QStringLiteral("tracker"));
    QDBusConnection extension = bus.connect(QStringLiteral("extension"));
    FakeExtension fake;
    QVERIFY(extension.registerObject(objectPath, &fake, QDBusConnection::ExportAllSlots));
    QTemporaryDir home;
    const DesktopEntryRegistry entries({home.filePath(QStringLiteral("applications"))});
    GnomeShellTracker tracker(entries, own, ShellExtensionFiles(home.path()));
    pump(own, extension);
    for (const QString &step : steps) {
        const QStringList w = step.split(QLatin1Char(' '));
        if (w[0] == QLatin1String("plan")) {
            fake.plans = w.mid(1);
        } else if (w[0] == QLatin1String("own")) {
            QVERIFY(extension.registerService(busName));
        } else if (w[0] == QLatin1String("leave")) {
            extension = QDBusConnection(QStringLiteral("gone")); // the last hold on it
            bus.drop(QStringLiteral("extension"));
        } else if (w[0] == QLatin1String("report")) {
            QVERIFY(extension.send(focusChanged(w[1])));
        } else if (w[0] == QLatin1String("burst")) {
            for (int i = 0; i < w[1].toInt(); ++i)
                QVERIFY(extension.send(focusChanged(w[2])));
        } else {
            for (const QDBusMessage &call : std::exchange(fake.held, {}))
                extension.send(w[0] == QLatin1String("fail")
                                   ? call.createErrorReply(QDBusError::Timeout, "no answer")
                                   : call.createReply({w[1] + ".desktop", w[1], 0}));
        }
        pump(own, extension.isConnected() ? extension : own);
    }
    QTRY_COMPARE(tracker.status().tracking, tracking);
    const std::optional<RunningApplication> inFront = tracker.frontmostApplication();
    QCOMPARE(inFront ? inFront->localizedName.value_or(QString()) : QStringLiteral("-"), front);
    QVERIFY2(fake.calls <= mostCalls, qPrintable(QString::number(fake.calls)));
    QVERIFY(fake.mostHeld <= 1);
}

void GnomeExtensionTest::installOverAnObstacleSaysWhere_data()
{
    QTest::addColumn<bool>("link");
    QTest::newRow("a link at the extension's place") << true;
    QTest::newRow("a folder of another at the extension's place") << false;
}

void GnomeExtensionTest::installOverAnObstacleSaysWhere()
{
    QFETCH(bool, link);
    fakes::PrivateBus bus;
    if (!bus.isRunning())
        QSKIP("dbus-daemon is not installed");
    QDBusConnection own = bus.connect(QStringLiteral("tracker"));
    QDBusConnection shellBus = bus.connect(QStringLiteral("shell"));
    FakeShell shell;
    QVERIFY(
        shellBus.registerObject("/org/gnome/Shell", &shell, QDBusConnection::ExportAllProperties));
    QVERIFY(shellBus.registerService("org.gnome.Shell"));
    QTemporaryDir home;
    const ShellExtensionFiles files(home.filePath(QStringLiteral("extensions")));
    QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("elsewhere"))));
    QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("extensions"))));
    if (link)
        QVERIFY(QFile::link(home.filePath(QStringLiteral("elsewhere")), files.folder()));
    else
        QVERIFY(QDir().mkpath(files.folder()));
    const DesktopEntryRegistry entries({home.filePath(QStringLiteral("applications"))});
    GnomeShellTracker tracker(entries, own, files);
    QTRY_VERIFY(!tracker.status().tracking);
    pump(own, shellBus);
    tracker.runSetup();
    const QString explanation = tracker.status().explanation;
    QVERIFY2(explanation.contains(files.folder()), qPrintable(explanation));
    QVERIFY2(explanation.contains(link ? "a link to " + home.filePath("elsewhere")
                                       : QStringLiteral("not Nudgewatch's")),
             qPrintable(explanation));
    QCOMPARE(tracker.status().setupAction, QStringLiteral("Install GNOME Shell Extension"));
    QVERIFY(QDir(files.folder()).isEmpty());
    QVERIFY(QDir(home.filePath(QStringLiteral("elsewhere"))).isEmpty());
}

void GnomeExtensionTest::turnOn_data()
{
    QTest::addColumn<ShellExtensionLists>("before");
    QTest::addColumn<bool>("wasOn");
    QTest::addColumn<ShellExtensionLists>("after");
    const QString other = QStringLiteral("other@example.org");
    QTest::newRow("never listed") << ShellExtensionLists{{other}, {}, false} << false
                                  << ShellExtensionLists{{other, uuid}, {}, false};
    QTest::newRow("on") << ShellExtensionLists{{uuid}, {other}, false} << true
                        << ShellExtensionLists{{uuid}, {other}, false};
    // Turned off in the Extensions app: still enabled, but listed as disabled too.
    QTest::newRow("turned off by the user")
        << ShellExtensionLists{{other, uuid}, {uuid, other}, false} << false
        << ShellExtensionLists{{other, uuid}, {other}, false};
    QTest::newRow("only disabled") << ShellExtensionLists{{}, {uuid, uuid}, false} << false
                                   << ShellExtensionLists{{uuid}, {}, false};
    QTest::newRow("user extensions off")
        << ShellExtensionLists{{uuid}, {}, true} << false << ShellExtensionLists{{uuid}, {}, false};
}

void GnomeExtensionTest::turnOn()
{
    QFETCH(ShellExtensionLists, before);
    QFETCH(bool, wasOn);
    QFETCH(ShellExtensionLists, after);
    QCOMPARE(before.turnsOn(uuid), wasOn);
    const ShellExtensionLists turned = before.turnedOn(uuid);
    QCOMPARE(turned.enabled, after.enabled);
    QCOMPARE(turned.disabled, after.disabled);
    QCOMPARE(turned.userExtensionsOff, after.userExtensionsOff);
    QVERIFY(turned.turnsOn(uuid));
}

QTEST_GUILESS_MAIN(GnomeExtensionTest)
#include "platform_gnome_extension_test.moc"
