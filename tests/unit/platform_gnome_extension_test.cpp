// The GNOME Shell route: the extension's focus reports to applications, the
// update decision, the status told, the extension's files in a user's folder.
#include "fakes/Files.h"
#include "fakes/PrivateBus.h"
#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/gnome/GnomeShellTracker.h"
#include "platform/gnome/ShellExtensionFiles.h"
#include "platform/gnome/ShellFocus.h"
#include "platform/gnome/ShellSettings.h"
#include "platform/session/ActivationFilter.h"

#include <QDBusContext>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace nudgewatch;
using namespace nudgewatch::shellExtension;

// Status rows name only the facts that differ from the defaults; GCC 12 asks
// for every member after the last one named.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using Arguments = QList<QVariant>;
using Application = std::optional<RunningApplication>;
Q_DECLARE_METATYPE(Application)
Q_DECLARE_METATYPE(nudgewatch::shellExtension::Facts)
Q_DECLARE_METATYPE(nudgewatch::ShellExtensionLists)

namespace {

constexpr qint64 ownPid = 4242;
const QString installAction = QStringLiteral("Install GNOME Shell Extension");

// What a status says, as a letter: tracking, waiting for a first answer, or
// not answering.
QChar said(const TrackerStatus &status)
{
    return status.tracking ? u'T' : status.explanation.contains(u"Waiting") ? u'W' : u'M';
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
        } else if (plan == QLatin1String("hold")) {
            setDelayedReply(true);
            held.append(message());
            mostHeld = std::max(mostHeld, held.size());
        } else {
            name = plan;
            pid = 0;
            return plan + QStringLiteral(".desktop");
        }
        return {};
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

// The tracker's connection and a peer's on a bus of their own, and a home.
struct Rig : fakes::BusPeers {
    QTemporaryDir home;
    const DesktopEntryRegistry entries{{home.filePath(QStringLiteral("applications"))}};
};

} // namespace

class GnomeExtensionTest : public QObject {
    Q_OBJECT
private slots:
    void focusToApplication_data()
    {
        QTest::addColumn<Arguments>("arguments");
        QTest::addColumn<QString>("executable");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<Application>("expected");
        const QString foot = QStringLiteral("/apps/foot.desktop");
        const auto row = [](const char *tag, const QString &id, const QString &name, int pid,
                            const char *executable, bool valid) -> QTestData & {
            return QTest::newRow(tag) << Arguments{id, name, pid} << executable << valid;
        };
        const auto named = [](const QString &name) {
            return Application({name, std::nullopt});
        };
        row("desktop id", "foot.desktop", "foot", 10, "", true) << Application({"Foot", foot});
        row("unknown desktop id", "gedit.desktop", "Text", 10, "", true) << named("Text");
        row("window without entry", "window:7", "Tool", 10, "", true) << named("Tool");
        row("window of a known program", "window:7", "t", 10, "/usr/bin/foot", true)
            << Application({"Foot", foot});
        row("own window", "window:3", "nudgewatch", ownPid, "", true)
            << Application(ownApplication());
        row("nothing focused", "", "", -1, "", true) << Application();
        row("name cut to what is ever shown", "window:1", QString(100000, u'n'), 1, "", true)
            << named(QString(longestShownText, u'n'));
        for (const QString &id : QStringList{"/apps/foot.desktop", ".desktop", "window:", "foot",
                                             "fo\not.desktop", QString(600, u'a') + ".desktop"})
            row(qPrintable("invalid id " + id.left(20)), id, "", 10, "", false) << Application();
        QTest::newRow("pid as unsigned")
            << Arguments{"foot.desktop", "foot", 10u} << "" << false << Application();
        QTest::newRow("two arguments")
            << Arguments{"foot.desktop", "foot"} << "" << false << Application();
    }
    void focusToApplication()
    {
        QFETCH(Arguments, arguments);
        QFETCH(QString, executable);
        QFETCH(bool, valid);
        QFETCH(Application, expected);
        const DesktopEntryIndex index(
            {{"foot.desktop", "/apps/foot.desktop", "Foot", {}, {}, {}, {"/usr/bin/foot"}, true}});
        const std::optional<ShellFocus> focus = focusFromArguments(arguments);
        QCOMPARE(focus.has_value(), valid);
        if (focus)
            QCOMPARE(
                applicationForFocus(index, *focus, ownPid, WindowFacts{.executable = executable}),
                expected);
    }

    void updateDecision_data()
    {
        QTest::addColumn<QString>("installedFor"); // the shell version the files were written for
        QTest::addColumn<int>("installedVersion");
        QTest::addColumn<QString>("runningShell");
        QTest::addColumn<bool>("update");
        QTest::newRow("current, same shell") << "43.9" << version << "43.9" << false;
        QTest::newRow("current, next minor shell") << "45.1" << version << "47.rc" << false;
        QTest::newRow("older version") << "43" << version - 1 << "43" << true;
        QTest::newRow("legacy files, modules shell")
            << "44" << version << "GNOME Shell 45.0" << true;
        QTest::newRow("unknown newer shell") << "46" << version << "58.2" << true;
        QTest::newRow("newer shell, written for it") << "58" << version << "58.1" << false;
        QTest::newRow("running shell unknown") << "43" << version << "" << false;
        QTest::newRow("running shell too old") << "43" << version << "3.38" << false;
    }
    void updateDecision()
    {
        QFETCH(QString, installedFor);
        QFETCH(int, installedVersion);
        QFETCH(QString, runningShell);
        QFETCH(bool, update);
        const int major = *majorVersion(installedFor);
        QByteArray metadata = metadataFor(*formatFor(major), major);
        metadata.replace("\"version\": " + QByteArray::number(version),
                         "\"version\": " + QByteArray::number(installedVersion));
        const std::optional<Installed> installed = parseMetadata(metadata);
        QVERIFY(installed && installed->version == installedVersion);
        QCOMPARE(needsUpdate(*installed, majorVersion(runningShell)), update);
        QVERIFY(!parseMetadata(QByteArray(metadata).replace("nudgewatch@", "other@")));
    }

    // Tracking exactly while the extension answers; else what to do, and why.
    void status_data()
    {
        QTest::addColumn<Facts>("facts");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("told"); // a phrase of the explanation
        using F = Facts::Folder;
        const auto row = [](const char *tag, const Facts &facts, const QString &action,
                            const QString &told) {
            QTest::newRow(tag) << facts << action << told;
        };
        const QString turnOn = QStringLiteral("Turn On GNOME Shell Extension");
        const QString relogin = QStringLiteral("log out and log in again");
        row("answering", {.answering = true, .folder = F::Ours, .enabled = true}, "", "");
        row("not answered yet", {.waiting = true, .folder = F::Ours, .enabled = true}, "",
            "Waiting for GNOME Shell");
        row("not installed", {}, installAction, "nothing else");
        row("just installed", {.folder = F::Ours, .enabled = true, .changedThisRun = true}, "",
            relogin);
        row("turned off", {.folder = F::Ours}, turnOn, "Extensions app");
        row("updated, turned off", {.folder = F::Ours, .changedThisRun = true}, turnOn,
            "turned off");
        row("on, not started", {.folder = F::Ours, .enabled = true}, "", relogin);
        row("folder not ours", {.folder = F::Foreign}, installAction, "does not replace");
        row("what is in the way, and where", {.folder = F::Foreign, .obstacle = "a link at /e/n"},
            installAction, "a link at /e/n");
        row("old shell", {.supportedShell = false}, "", "too old");
        row("setup failed", {.setupError = "disk full"}, installAction, "disk full");
    }
    void status()
    {
        QFETCH(Facts, facts);
        QFETCH(QString, action);
        QFETCH(QString, told);
        const TrackerStatus status = statusFor(facts);
        QCOMPARE(status.tracking, facts.answering);
        QCOMPARE(status.setupAction, action);
        QVERIFY2(status.explanation.contains(told), qPrintable(status.explanation));
    }

    void install()
    {
        QTemporaryDir home;
        const QString extensions = home.filePath(QStringLiteral("extensions"));
        const ShellExtensionFiles files(extensions);
        QCOMPARE(files.state(), Facts::Folder::Missing);
        QCOMPARE(files.install(Format::Legacy, 43), QString());
        QCOMPARE(files.installed(), parseMetadata(metadataFor(Format::Legacy, 43)));
        const QByteArray legacy = fakes::readFile(files.folder() + QStringLiteral("/extension.js"));
        // The version the program compares is the one the extension answers with.
        QVERIFY(legacy.contains("function enable()") &&
                legacy.contains("const VERSION = " + QByteArray::number(version) + ';'));
        // A newer shell: the module form replaces the files in place.
        QCOMPARE(files.install(Format::Modules, 46), QString());
        QVERIFY(needsUpdate(*files.installed(), 43) && !needsUpdate(*files.installed(), 46));
        QCOMPARE(QDir(extensions).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{uuid});
    }

    // Steps: "plan P…" (the extension's next answers), "own" (it takes its bus
    // name), "leave" (its connection ends), "report NAME" (FocusChanged), "burst
    // N NAME" (N reports at once); for the held calls "answer NAME", "fail", or
    // "timeout" (the call ran out of time). What the status said in turn (see
    // said()) is "shown".
    void focusCallsOnTheBus_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("mostCalls");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("front");
        const auto row = [](const char *tag, const char *steps, int calls, const char *shown,
                            const char *front) {
            QTest::newRow(tag) << QString(steps).split('|') << calls << QString(shown)
                               << QString(front);
        };
        row("a failing GetFocus and a burst of focus reports", "plan fail|own|burst 300 foot", 4,
            "WMWM", "foot");
        row("an answer overtaken by a report", "plan hold|own|report xterm|answer foot", 1, "WMWT",
            "xterm");
        row("a late failure after a newer report", "plan hold xterm|own|report foot|fail", 2,
            "WMWT", "xterm");
        row("a failure with no report since", "plan hold|own|fail", 1, "WMWM", "-");
        row("the extension answers, then leaves", "plan foot|own|leave", 1, "WMWTM", "foot");
        row("the extension leaves before answering", "plan hold|own|leave", 1, "WMWM", "-");
        row("a busy shell is asked again", "plan hold foot|own|timeout", 2, "WMWT", "foot");
        row("a shell that never answers is given up on", "plan hold|own|timeout|timeout|timeout", 3,
            "WMWM", "-");
    }
    void focusCallsOnTheBus()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, mostCalls);
        QFETCH(QString, shown);
        QFETCH(QString, front);
        Rig rig;
        if (!rig.bus.isRunning())
            QSKIP("dbus-daemon is not installed");
        FakeExtension fake;
        QVERIFY(rig.peer.registerObject(objectPath, &fake, QDBusConnection::ExportAllSlots));
        GnomeShellTracker tracker(rig.entries, rig.own, ShellExtensionFiles(rig.home.path()));
        QString told = said(tracker.status());
        connect(&tracker, &FrontmostApplicationTracker::statusChanged, this, [&] {
            if (const QChar now = said(tracker.status()); now != told.back())
                told += now;
        });
        rig.pump();
        for (const QString &step : steps) {
            const QStringList w = step.split(QLatin1Char(' '));
            if (w[0] == QLatin1String("plan")) {
                fake.plans = w.mid(1);
            } else if (w[0] == QLatin1String("own")) {
                QVERIFY(rig.peer.registerService(busName));
            } else if (w[0] == QLatin1String("leave")) {
                rig.leave();
            } else if (w[0] == QLatin1String("report") || w[0] == QLatin1String("burst")) {
                QDBusMessage report = QDBusMessage::createSignal(objectPath, interfaceName,
                                                                 QStringLiteral("FocusChanged"));
                report << w.last() + QStringLiteral(".desktop") << w.last() << 0;
                for (int i = w.size() > 2 ? w[1].toInt() : 1; i > 0; --i)
                    QVERIFY(rig.peer.send(report));
            } else {
                const auto error =
                    w[0] == QLatin1String("fail") ? QDBusError::Failed : QDBusError::NoReply;
                for (const QDBusMessage &call : std::exchange(fake.held, {}))
                    rig.peer.send(w[0] == QLatin1String("answer")
                                      ? call.createReply({w[1] + ".desktop", w[1], 0})
                                      : call.createErrorReply(error, QStringLiteral("no answer")));
            }
            rig.pump();
        }
        QTRY_COMPARE(told, shown);
        const std::optional<RunningApplication> inFront = tracker.frontmostApplication();
        QCOMPARE(inFront ? inFront->localizedName.value_or(QString()) : QStringLiteral("-"), front);
        QVERIFY2(fake.calls <= mostCalls, qPrintable(QString::number(fake.calls)));
        QVERIFY(fake.mostHeld <= 1);
    }

    // A link, or another's folder, at the extension's place.
    void installOverAnObstacleSaysWhere_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("told"); // %E: the link's target, %F: the extension's folder
        QTest::newRow("a link") << "link" << QString("a link to %E is at %F");
        QTest::newRow("a folder of another")
            << "folder" << QString("not Nudgewatch's extension is at %F");
        QTest::newRow("a linked extensions folder") << "linked" << QString("a link to %E is at %X");
    }
    void installOverAnObstacleSaysWhere()
    {
        QFETCH(QString, obstacle);
        QFETCH(QString, told);
        Rig rig;
        if (!rig.bus.isRunning())
            QSKIP("dbus-daemon is not installed");
        FakeShell shell;
        QVERIFY(rig.peer.registerObject("/org/gnome/Shell", &shell,
                                        QDBusConnection::ExportAllProperties));
        QVERIFY(rig.peer.registerService("org.gnome.Shell"));
        const QString extensions = rig.home.filePath(QStringLiteral("extensions"));
        const ShellExtensionFiles files(extensions);
        const QString elsewhere = rig.home.filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkpath(elsewhere));
        if (obstacle == QLatin1String("linked"))
            QVERIFY(QFile::link(elsewhere, extensions));
        else
            QVERIFY(QDir().mkpath(extensions) &&
                    (obstacle == QLatin1String("link") ? QFile::link(elsewhere, files.folder())
                                                       : QDir().mkpath(files.folder())));
        GnomeShellTracker tracker(rig.entries, rig.own, files);
        QTRY_VERIFY(!tracker.status().explanation.contains("Waiting"));
        rig.pump();
        tracker.runSetup();
        const QString explanation = tracker.status().explanation;
        told.replace("%E", elsewhere).replace("%F", files.folder()).replace("%X", extensions);
        QVERIFY2(explanation.contains(told), qPrintable(explanation));
        QCOMPARE(tracker.status().setupAction, installAction);
        QVERIFY(QDir(files.folder()).isEmpty() && QDir(elsewhere).isEmpty());
    }

    // Turning on changes nothing exactly when the extension was on.
    void turnOn_data()
    {
        QTest::addColumn<ShellExtensionLists>("before");
        QTest::addColumn<ShellExtensionLists>("after");
        using L = ShellExtensionLists;
        const QString other = QStringLiteral("other@example.org");
        QTest::newRow("never listed") << L{{other}, {}, false} << L{{other, uuid}, {}, false};
        QTest::newRow("on") << L{{uuid}, {other}, false} << L{{uuid}, {other}, false};
        // Turned off in the Extensions app: still enabled, but listed as disabled too.
        QTest::newRow("turned off by the user")
            << L{{other, uuid}, {uuid, other}, false} << L{{other, uuid}, {other}, false};
        QTest::newRow("only disabled") << L{{}, {uuid, uuid}, false} << L{{uuid}, {}, false};
        QTest::newRow("user extensions off") << L{{uuid}, {}, true} << L{{uuid}, {}, false};
    }
    void turnOn()
    {
        QFETCH(ShellExtensionLists, before);
        QFETCH(ShellExtensionLists, after);
        QCOMPARE(before.turnsOn(uuid), before == after);
        QCOMPARE(before.turnedOn(uuid), after);
        QVERIFY(after.turnsOn(uuid));
    }
};

QTEST_GUILESS_MAIN(GnomeExtensionTest)
#include "platform_gnome_extension_test.moc"
