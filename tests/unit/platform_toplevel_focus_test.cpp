// The front window of a wlroots compositor over recorded foreign-toplevel
// event sequences, announced through the activation filter as the tracker does;
// the tracker's Wayland connection against a compositor of the test's own
// (libwayland-server on a thread) that counts the round trips asked of it. What
// the KWin script's calls mean: recorded sequences of calls (and settle
// timeouts) against the activations announced and the application in front.
// The GNOME Shell route: the extension's focus reports to applications, the
// update decision, the status told, the extension's files in a user's folder,
// the blur behind the program's windows (outlines in pixels, calls sent).

#include "fakes/Fakes.h"
#include "fakes/Files.h"
#include "fakes/PrivateBus.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/gnome/GnomeShellTracker.h"
#include "platform/gnome/ShellBlur.h"
#include "platform/gnome/ShellBlurWindowSystem.h"
#include "platform/gnome/ShellExtensionFiles.h"
#include "platform/gnome/ShellFocus.h"
#include "platform/gnome/ShellSettings.h"
#include "platform/kwin/KWinFocusLogic.h"
#include "platform/null/NullWindowSystem.h"
#include "platform/session/ActivationFilter.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wlroots/ForeignToplevelTracker.h"
#include "platform/wlroots/ToplevelFocus.h"

#include <QDBusContext>
#include <QDBusVirtualObject>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <wayland-server-core.h>
#include <wayland-server-protocol.h>

#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

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

// Events "HANDLE VERB ARGS" separated by ';' ("1 new", "1 id foot", "1 state 2",
// "1 done", "1 closed"), "|" where a batch of dispatched events ends: there
// the front application is decided, and "recent": the handles, the one to raise
// first first. Returns the app ids announced ("?" for a
// window without a usable one, "none" for an application without a name, which
// no tracked entry could follow; nothing in front is announced as "?" too) and,
// last, the app id in front ("-" for none), marked when it is fullscreen.
QStringList run(const QByteArray &script)
{
    const DesktopEntryIndex noEntries;
    ToplevelFocus focus;
    ActivationFilter filter;
    QStringList announced;
    const auto frontId = [&] {
        const auto front = focus.front();
        return front ? std::optional(focus.appId(*front)) : std::nullopt;
    };
    for (const QByteArray &event : script.split(';')) {
        const QList<QByteArray> words = event.trimmed().split(' ');
        const ToplevelFocus::Handle handle = words[0].toUInt();
        const QByteArray verb = words.value(1);
        if (words[0] == "|") {
            const auto id = frontId();
            if (const auto changed = filter.observe(id ? toplevelApplication(noEntries, *id)
                                                       : unknownApplication())) {
                const std::optional<QString> &name = changed->localizedName;
                announced << (!name ? "none" : name->isEmpty() ? "?" : *name);
            }
        } else if (words[0] == "recent") {
            QStringList handles;
            for (const ToplevelFocus::Handle recent : focus.byRecency())
                handles << QString::number(recent);
            announced << handles.join(' ');
        } else if (words[0] == "output") {
            const auto output = focus.front() ? focus.output(*focus.front()) : std::nullopt;
            announced << (output ? QString::number(*output) : QStringLiteral("-"));
        } else if (verb == "enter" || verb == "leave") {
            (focus.*(verb == "enter" ? &ToplevelFocus::enterOutput : &ToplevelFocus::leaveOutput))(
                handle, words.value(2).toUInt());
        } else if (verb == "new") {
            focus.add(handle);
        } else if (verb == "id") {
            focus.setAppId(handle, event.trimmed().mid(words[0].size() + 4));
        } else if (verb == "done") {
            focus.done(handle);
        } else if (verb == "closed") {
            focus.close(handle);
        } else if (verb == "state") {
            std::vector<uint32_t> states;
            for (const QByteArray &word : words.mid(2))
                states.push_back(word.toUInt());
            focus.setStates(handle, states);
        }
    }
    const auto front = focus.front();
    return announced << frontId().value_or(QStringLiteral("-")) +
                            (front && focus.isFullscreen(*front) ? " fullscreen" : "");
}

// foot (1) in front of xterm (2), both known to the compositor.
const QByteArray footInFront = "1 new; 1 id foot; 1 state 2; 1 done; 2 new; 2 id XTerm; "
                               "2 state; 2 done; |;";

// Announces a new global when poked from the test's thread.
int announceGlobal(int poke, uint32_t, void *display)
{
    eventfd_t value;
    eventfd_read(poke, &value);
    wl_global_create(static_cast<wl_display *>(display), &wl_output_interface, 1, nullptr,
                     [](wl_client *, void *, uint32_t, uint32_t) {});
    return 0;
}

void countSync(void *syncs, wl_protocol_logger_type type, const wl_protocol_logger_message *message)
{
    if (type == WL_PROTOCOL_LOGGER_REQUEST && std::strcmp(message->message->name, "sync") == 0)
        ++*static_cast<std::atomic<int> *>(syncs);
}

struct Compositor {
    Compositor() { qputenv("WAYLAND_DISPLAY", wl_display_add_socket_auto(display)); }
    ~Compositor()
    {
        wl_display_terminate(display);
        thread.join();
        wl_protocol_logger_destroy(logger);
        wl_event_source_remove(source);
        wl_display_destroy_clients(display);
        wl_display_destroy(display);
        close(poke);
    }
    wl_display *display = wl_display_create();
    int poke = eventfd(0, EFD_CLOEXEC);
    std::atomic<int> syncs = 0;
    wl_protocol_logger *logger = wl_display_add_protocol_logger(display, countSync, &syncs);
    wl_event_source *source = wl_event_loop_add_fd(wl_display_get_event_loop(display), poke,
                                                   WL_EVENT_READABLE, announceGlobal, display);
    std::thread thread;
};

const QString kwin = QStringLiteral(":1.7");
constexpr qint64 ownPid = 4242;

QString windowId(int n)
{
    return QStringLiteral("{00000000-0000-0000-0000-%1}").arg(n, 12, 10, QLatin1Char('0'));
}

// "act N FILE CLASS PID", "add N FILE CLASS PID", "rm N", "null", "settle",
// "fs VALUE" (the active window's fullscreen), "out NAME" (its output; "long": overlong), or a
// hostile call: "stranger", "number", "bad-id", "count", "pid", "fs2" (two arguments); or a window
// whose three names are unusable: "overlong", "control", "nameless". The test also takes "raise
// FILE" (the window raised for that entry, by number) and "new kwin" (another process now owns
// KWin's name).
KWinCall callFor(const QString &step)
{
    QStringList w = step.split(QLatin1Char(' '));
    while (w.size() < 5)
        w.append(QStringLiteral("0"));
    const QString kind = w[0], file = w[2] == QLatin1String("-") ? QString() : w[2];
    KWinCall call{kwin,
                  QStringLiteral("org.nudgewatch.KWinFocus"),
                  QStringLiteral("Activated"),
                  {windowId(w[1].toInt()), file, w[3], w[3], w[4]}};
    QVariantList &a = call.arguments;
    if (kind == QLatin1String("out"))
        call.member = QStringLiteral("Output"), a = {w[1] == "long" ? QString(256, 'D') : w[1]};
    else if (kind.startsWith(QLatin1String("fs")))
        call.member = QStringLiteral("Fullscreen"), a = QVariantList(kind == "fs2" ? 2 : 1, w[1]);
    else if (kind == QLatin1String("add"))
        call.member = QStringLiteral("Added");
    else if (kind == QLatin1String("rm"))
        call.member = QStringLiteral("Removed"), a = {a[0]};
    else if (kind == QLatin1String("null"))
        a = {QString(), QString(), QString(), QString(), QStringLiteral("0")};
    else if (kind == QLatin1String("stranger"))
        call.sender = QStringLiteral(":1.99");
    else if (kind == QLatin1String("number"))
        a[4] = 17;
    else if (kind == QLatin1String("bad-id"))
        a[0] = QStringLiteral("'); evil(); ('");
    else if (kind == QLatin1String("count"))
        a.removeLast();
    else if (kind == QLatin1String("pid"))
        a[4] = QStringLiteral("99999999999");
    else if (kind != QLatin1String("act")) // a window with unusable names
        a[1] = a[2] = a[3] = kind == QLatin1String("overlong")  ? QString(256, QLatin1Char('a'))
                             : kind == QLatin1String("control") ? QStringLiteral("x\nterm")
                                                                : QString();
    return call;
}

// "?" for an unknown application, "none" for one no tracked entry could follow.
QString nameOf(const RunningApplication &application)
{
    if (!application.localizedName)
        return QStringLiteral("none");
    return application.localizedName->isEmpty() ? QStringLiteral("?") : *application.localizedName;
}

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
    QVariantList monitor; // GetMonitor's reply; none: the method is unknown

public slots:
    void GetMonitor(const QStringList &)
    {
        setDelayedReply(true);
        connection().send(
            monitor.isEmpty()
                ? message().createErrorReply(QDBusError::UnknownMethod, QStringLiteral("version 2"))
                : message().createReply(monitor));
    }
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

// The extension's Version and the outlines it is sent ("WxH" of the first
// rectangle, "-" for none, and "@strength" below 1).
class FakeBlurExtension : public QDBusVirtualObject {
public:
    explicit FakeBlurExtension(uint version) : m_version(version) {}
    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &call, const QDBusConnection &bus) override
    {
        QVariant reply = QVariant::fromValue(QDBusVariant(m_version));
        if (call.member() == QLatin1String("SetBlurRegion")) {
            const QDBusArgument list = call.arguments().at(1).value<QDBusArgument>();
            QStringList rectangles;
            list.beginArray();
            while (!list.atEnd()) {
                int x = 0, y = 0, width = 0, height = 0;
                list.beginStructure();
                list >> x >> y >> width >> height;
                list.endStructure();
                rectangles << QStringLiteral("%1x%2").arg(width).arg(height);
            }
            list.endArray();
            const double strength = call.arguments().at(2).toDouble();
            sent << (rectangles.isEmpty() ? QStringLiteral("-") : rectangles.front()) +
                        (strength < 1 && !rectangles.isEmpty() ? QStringLiteral("@%1").arg(strength)
                                                               : QString());
            reply = true;
        }
        return bus.send(call.createReply(reply));
    }
    QStringList sent;

private:
    uint m_version;
};

// The tracker's connection and a peer's on a bus of their own, and a home.
struct Rig : fakes::BusPeers {
    QTemporaryDir home;
    const DesktopEntryRegistry entries;
};

} // namespace

class ToplevelFocusTest : public QObject {
    Q_OBJECT
private slots:
    void frontApplication_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QStringList>("expected"); // announced, then the one in front
        const auto row = [](const char *tag, const QByteArray &script, const QString &expected) {
            QTest::newRow(tag) << script << expected.split('|');
        };
        const QByteArray foot = footInFront;
        row("sway: old emptied, new activated, then each done, one batch",
            foot + "1 state; 2 state 2; 1 done; 2 done; |", "foot|XTerm|XTerm");
        row("new activated a batch before the old one lets go",
            foot + "2 state 2; 2 done; |; 1 state; 1 done; |", "foot|XTerm|XTerm");
        row("old lets go a batch before: nothing in front between",
            foot + "1 state; 1 done; |; 2 state 2; 2 done; |", "foot|?|XTerm|XTerm");
        row("every window minimised", foot + "1 state 1; 1 done; |", "foot|?|-");
        row("back to the same application after nothing",
            foot + "1 state; 1 done; |; 1 state 2; 1 done; |", "foot|?|foot|foot");
        row("done repeated without a change", foot + "1 done; |; 1 done; 2 done; |; 1 done; |",
            "foot|foot");
        row("a change counts only at its done", foot + "1 state; 2 state 2; |", "foot|foot");
        row("closed while in front", foot + "1 closed; |", "foot|?|-");
        row("closed while the other is still activated", foot + "2 state 2; 2 done; |; 2 closed; |",
            "foot|XTerm|foot|foot");
        row("between two windows of one application",
            foot + "3 new; 3 id foot; 3 state 0 2; 3 done; 1 state; 1 done; |", "foot|foot");
        row("the app id changes", foot + "1 id footclient; |; 1 done; |",
            "foot|footclient|footclient");
        row("states past the sixteenth are not read",
            "1 new; 1 id foot; 1 state 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 2; 1 done; |", "?|-");
        row("events for a handle never announced", "7 id foot; 7 state 2; 7 done; |", "?|-");
        row("longest app id", "1 new; 1 id " + QByteArray(255, 'x') + "; 1 state 2; 1 done; |",
            QString(255, 'x') + '|' + QString(255, 'x'));
        for (const auto &[name, id] :
             {std::pair{"overlong app id", QByteArray(256, 'x')},
              std::pair{"app id not UTF-8", QByteArray("fo\xc3\x28t")},
              std::pair{"app id with a control character", QByteArray("fo\tot")},
              std::pair{"empty app id", QByteArray()}}) {
            row(name, foot + "1 id " + id + "; 1 done; |", "foot|?|");
            // A new window without a usable id takes the front from foot.
            row(qPrintable(QStringLiteral("activated window: ") + name),
                foot + "3 new; 3 id " + id + "; 3 state 2; 3 done; 1 state; 1 done; |", "foot|?|");
        }
        // Fullscreen counts for the window in front only, once its done came.
        row("front, fullscreen", foot + "1 state 2 3; 1 done; |", "foot|foot fullscreen");
        row("fullscreen, not yet done", foot + "1 state 2 3; |", "foot|foot");
        row("behind, fullscreen", foot + "2 state 3; 2 done; |", "foot|foot");
        row("left fullscreen", foot + "1 state 2 3; 1 done; |; 1 state 2; 1 done; |", "foot|foot");
        // Raising prefers the window activated last.
        row("recency", "1 new; 2 new; 3 new; 1 state 2; 1 done; recent; 3 closed; recent",
            "1 3 2|1 2|");
        // The output of the window in front: the one it entered last and is still on.
        row("outputs",
            foot + "output; 1 enter 5; 1 enter 6; 1 leave 6; output; 2 enter 7; "
                   "2 state 2; 1 state; 1 done; 2 done; |; output",
            "foot|-|5|XTerm|7|XTerm");
        row("fullscreen one went behind", foot + "1 state 3; 2 state 2; 1 done; 2 done; |",
            "foot|XTerm|XTerm");
    }
    void frontApplication()
    {
        QFETCH(QByteArray, script);
        QFETCH(QStringList, expected);
        QCOMPARE(run(script), expected);
    }

    void reconnectionWaitsLongerAfterEachFailure_data()
    {
        QTest::addColumn<int>("failures");
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("first attempt") << 0 << 0;
        QTest::newRow("after one") << 1 << 500;
        QTest::newRow("after two") << 2 << 1000;
        QTest::newRow("after six") << 6 << 16000;
        QTest::newRow("after seven") << 7 << 30000;
        QTest::newRow("after many") << 1000 << 30000;
        QTest::newRow("nonsense") << -3 << 0;
    }
    void reconnectionWaitsLongerAfterEachFailure()
    {
        QFETCH(int, failures);
        QFETCH(int, milliseconds);
        QCOMPARE(reconnectDelay(failures).count(), milliseconds);
    }

    // Events from the compositor are answered with one round trip, so that a
    // compositor which has given up on the program drops it at once; the
    // answer to that round trip asks for no other.
    void oneRoundTripPerBatchOfEvents()
    {
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        Compositor compositor;
        compositor.thread = std::thread([&] { wl_display_run(compositor.display); });
        const std::unique_ptr<WaylandConnection> connection = WaylandConnection::open();
        QVERIFY(connection);
        const int syncsAtStart = compositor.syncs;
        QSignalSpy batches(connection.get(), &WaylandConnection::dispatched);

        eventfd_write(compositor.poke, 1);
        // The new global, then the answer to the round trip it called for.
        QTRY_VERIFY(batches.count() >= 2);
        QCOMPARE(connection->globals().size(), std::size_t(1));
        // Requests are handled in order: once this is answered, any round trip
        // the answer above asked for has been counted too.
        QVERIFY(connection->roundtrip());
        QCOMPARE(compositor.syncs - syncsAtStart, 2);
    }

    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Nudgewatch"));
        // No installed entries: GIO reads two folders that do not exist.
        fakes::useDesktopEntries(QStringLiteral("/nonexistent/home"), {"/nonexistent/system"});
    }

    void sequences_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("announced");
        QTest::addColumn<QString>("front"); // empty: nothing in front
        QTest::addColumn<int>("refused");
        const auto row = [](const char *tag, const QString &steps, const QString &announced,
                            const char *front, int refused = 0) {
            QTest::newRow(tag) << steps.split('|') << announced.split('|', Qt::SkipEmptyParts)
                               << QString(front) << refused;
        };
        const QString weston = QStringLiteral("act 1 weston w 10|");
        row("null between switches", weston + "null|act 2 - xterm 11|null|act 1 weston w 10",
            "App weston|xterm|App weston", "App weston");
        row("null alone at the end", weston + "null|settle", "App weston|?", "?");
        row("back after nothing in front", weston + "null|settle|act 1 weston w 10",
            "App weston|?|App weston", "App weston");
        row("repeated activation and two windows of one application",
            weston + "act 1 weston w 10|null|act 3 weston w 12", "App weston", "App weston");
        row("own window", weston + "null|act 4 - nudgewatch 4242", "App weston|Nudgewatch",
            "Nudgewatch");
        row("first report is nothing", "null|settle|act 2 - xterm 11", "?|xterm", "xterm");
        row("fullscreen on and off", weston + "fs 1|fs 0", "App weston|FS on|FS off", "App weston");
        row("the active window's output", weston + "out DP-2|out long", "App weston|on DP-2",
            "App weston", 1);
        row("fullscreen in another shape", weston + "fs true|fs 2|fs2 1|fs 11", "App weston",
            "App weston", 4);
        row("hostile calls change nothing",
            weston + "stranger 2 - xterm 11|number 2 - xterm 11|bad-id 2 - xterm 11|"
                     "count 2 - xterm 11|pid 2 - xterm 11",
            "App weston", "App weston", 5);
        for (const char *kind : {"overlong", "control", "nameless"})
            row(kind, weston + "null|" + kind + " 2 - x 11", "App weston|?", "?");
        // The window raised for an entry is its window used last, never one of the
        // program's own, and none once KWin said it closed or KWin itself changed.
        row("the window to raise",
            "add 1 weston w 10|add 2 weston w 11|add 3 weston w 4242|act 2 weston w 11|"
            "act 1 weston w 10|act 3 weston w 4242|raise weston|rm 1|raise weston|raise xterm|"
            "new kwin|raise weston|add 5 weston w 12",
            "App weston|Nudgewatch|raise 1|raise 2|raise -|raise -", "Nudgewatch", 1);
        row("back from a window without names",
            weston + "null|control 2 - x 11|null|act 1 weston w 10", "App weston|?|App weston",
            "App weston");
    }
    void sequences()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, announced);
        QFETCH(QString, front);
        QFETCH(int, refused);
        KWinFocusLogic logic(
            [](const KWinWindow &window) {
                if (window.desktopFileName.isEmpty() && window.resourceClass.isEmpty())
                    return RunningApplication{};
                if (window.desktopFileName.isEmpty())
                    return RunningApplication{window.resourceClass, std::nullopt};
                return RunningApplication{
                    QStringLiteral("App ") + window.desktopFileName,
                    QStringLiteral("/apps/%1.desktop").arg(window.desktopFileName)};
            },
            ownPid);
        logic.setKWinOwner(kwin);
        QStringList seen;
        int refusals = 0;
        bool awaiting = false;
        for (const QString &step : steps) {
            if (step.startsWith(QLatin1String("raise "))) {
                const auto window = logic.windowOf("/apps/" + step.mid(6) + ".desktop");
                seen.append("raise " +
                            (window ? QString::number(window->mid(25, 12).toInt()) : "-"));
                continue;
            }
            if (step == QLatin1String("new kwin")) {
                logic.setKWinOwner(QStringLiteral(":1.8"));
                continue;
            }
            if (step == QLatin1String("settle")) {
                QVERIFY2(awaiting, "a settle without a null before it");
                if (const auto application = logic.settle())
                    seen.append(nameOf(*application));
                continue;
            }
            const KWinFocusLogic::Outcome outcome = logic.handle(callFor(step));
            refusals += outcome.accepted ? 0 : 1;
            awaiting = outcome.awaitingWindow;
            if (outcome.announce)
                seen.append(nameOf(*outcome.announce));
            if (outcome.output)
                seen.append("on " + *outcome.output);
            if (outcome.fullscreen)
                seen.append(*outcome.fullscreen ? QStringLiteral("FS on")
                                                : QStringLiteral("FS off"));
        }
        QCOMPARE(seen, announced);
        QCOMPARE(logic.front() ? nameOf(*logic.front()) : QString(), front);
        QCOMPARE(refusals, refused);
    }

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

    // The extension's reply on the focused window's monitor, asked again on its
    // MonitorChanged: what the card is then told.
    void monitorOnTheBus_data()
    {
        QTest::addColumn<QVariantList>("reply");
        QTest::addColumn<QString>("place");
        const auto geometry = [](int x, int y, int width, int height) {
            QDBusArgument structure;
            structure.beginStructure();
            structure << x << y << width << height;
            structure.endStructure();
            return QVariant::fromValue(structure);
        };
        QTest::newRow("connector and geometry")
            << QVariantList{"Meta-1", geometry(1280, 0, 1024, 768)} << "Meta-1 1280,0 1024x768";
        QTest::newRow("Xwayland's names")
            << QVariantList{"", geometry(1280, 0, 1024, 768)} << " 1280,0 1024x768";
        QTest::newRow("nothing focused") << QVariantList{"", geometry(0, 0, 0, 0)} << " -";
        QTest::newRow("an older extension") << QVariantList{} << " -";
        QTest::newRow("other types") << QVariantList{"Meta-1", 1280} << " -";
        QTest::newRow("an overlong name")
            << QVariantList{QString(100000, u'M'), geometry(0, 0, 1, 1)}
            << QString(256, u'M') + " 0,0 1x1";
    }
    void monitorOnTheBus()
    {
        QFETCH(QVariantList, reply);
        QFETCH(QString, place);
        Rig rig;
        if (!rig.bus.isRunning())
            QSKIP("dbus-daemon is not installed");
        FakeExtension fake;
        fake.plans = QStringList{QStringLiteral("foot")};
        QVERIFY(rig.peer.registerObject(objectPath, &fake, QDBusConnection::ExportAllSlots));
        QVERIFY(rig.peer.registerService(busName));
        GnomeShellTracker tracker(rig.entries, rig.own, ShellExtensionFiles(rig.home.path()));
        const auto told = [&] {
            const FrontWindowPlace at = tracker.frontWindowPlace();
            const QRect r = at.frame.value_or(QRect());
            return at.monitor + ' ' +
                   (at.frame ? QStringLiteral("%1,%2 %3x%4")
                                   .arg(r.x())
                                   .arg(r.y())
                                   .arg(r.width())
                                   .arg(r.height())
                             : QStringLiteral("-"));
        };
        rig.pump();
        QCOMPARE(told(), QStringLiteral(" -"));
        fake.monitor = reply;
        QVERIFY(rig.peer.send(QDBusMessage::createSignal(objectPath, interfaceName,
                                                         QStringLiteral("MonitorChanged"))));
        rig.pump();
        QTRY_COMPARE(told(), place);
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

    void blurPixels_data()
    {
        QTest::addColumn<QRegion>("region");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QList<QRect>>("pixels");
        const QRegion cross = QRegion(4, 0, 12, 10) + QRegion(0, 2, 20, 6);
        QTest::newRow("points are pixels")
            << cross << 1.0 << QList<QRect>(cross.begin(), cross.end());
        QTest::newRow("twice as many pixels")
            << QRegion(1, 2, 3, 4) << 2.0 << QList<QRect>{{2, 4, 6, 8}};
        QTest::newRow("every pixel a point touches")
            << QRegion(1, 1, 3, 1) << 1.5 << QList<QRect>{{1, 1, 5, 2}};
        QTest::newRow("empty") << QRegion() << 1.0 << QList<QRect>{};
        QTest::newRow("no scale") << cross << 0.0 << QList<QRect>{};
        QRegion stairs;
        for (int i = 0; i <= shellBlur::mostRectangles; ++i)
            stairs += QRect(i, 2 * i, 1, 1);
        QTest::newRow("too many: the bounding rectangle")
            << stairs << 1.0 << QList<QRect>{stairs.boundingRect()};
    }
    void blurPixels()
    {
        QFETCH(QRegion, region);
        QFETCH(double, scale);
        QFETCH(QList<QRect>, pixels);
        QCOMPARE(shellBlur::pixelRectangles(region, scale), pixels);
    }

    void blurVersion()
    {
        const QDBusMessage get = QDBusMessage::createMethodCall(busName, objectPath, interfaceName,
                                                                QStringLiteral("Get"));
        const auto reply = [&](const QVariant &value) {
            return shellBlur::versionFromReply(
                get.createReply(QVariant::fromValue(QDBusVariant(value))));
        };
        QCOMPARE(reply(4u), std::optional<uint>(4));
        QVERIFY(!reply(4) && !reply(QStringLiteral("4")));
        QVERIFY(!shellBlur::versionFromReply(get.createErrorReply(QDBusError::Failed, {})));
    }

    // Outlines of window 7 ("set a|b|c|-": 10, 20, 30 pixels wide, or empty)
    // and the blur's strength ("fade S") as the extension (of a version: "own
    // N") is sent them, turn by turn of the event loop ("turn") and frame by
    // frame.
    void blurOnTheBus_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<bool>("offered");
        QTest::newRow("the first at once, a frame's last, an unchanged one not")
            << "own 4|set a|turn|set b|set c|frame|set c|frame"
            << "10x10|30x10" << true;
        QTest::newRow("fading, together with the outline")
            << "own 4|set a|turn|fade 0.504|set b|frame|fade 0.2|set -|fade 0.1|frame"
            << "10x10|20x10@0.5|-" << true;
        QTest::newRow("emptied once") << "own 4|set a|frame|set -|frame|set -|frame"
                                      << "10x10|-" << true;
        QTest::newRow("an older extension is told nothing") << "own 3|set a|frame"
                                                            << "" << false;
        QTest::newRow("told once the extension answers") << "set a|own 4"
                                                         << "10x10" << true;
        QTest::newRow("told anew when it comes back") << "own 4|set a|frame|leave|set b|own 4"
                                                      << "10x10|20x10" << true;
    }
    void blurOnTheBus()
    {
        QFETCH(QString, steps);
        QFETCH(QString, sent);
        QFETCH(bool, offered);
        Rig rig;
        if (!rig.bus.isRunning())
            QSKIP("dbus-daemon is not installed");
        fakes::FakeClock clock;
        fakes::FakeScheduler scheduler(clock);
        ShellBlurWindowSystem windows(std::make_unique<NullWindowSystem>(), rig.own, scheduler);
        std::unique_ptr<FakeBlurExtension> fake;
        QStringList told;
        int peers = 0;
        for (const QString &step : steps.split(QLatin1Char('|'))) {
            if (step.startsWith(QLatin1String("own"))) {
                if (fake)
                    told += std::exchange(fake->sent, {});
                fake = std::make_unique<FakeBlurExtension>(step.mid(4).toUInt());
                if (peers++ > 0)
                    rig.peer = rig.bus.connect(QStringLiteral("peer%1").arg(peers));
                QVERIFY(rig.peer.registerVirtualObject(objectPath, fake.get()));
                QVERIFY(rig.peer.registerService(busName));
            } else if (step == QLatin1String("leave")) {
                rig.leave();
            } else if (step == QLatin1String("frame") || step == QLatin1String("turn")) {
                scheduler.advance(step == QLatin1String("turn") ? 0 : 1.0 / 60);
            } else if (step.startsWith(QLatin1String("fade"))) {
                windows.setBlurStrength(7, step.mid(5).toDouble());
            } else {
                const int width = 10 * (step.back().unicode() - 'a' + 1);
                windows.setBlurOutline(7, step.back() == u'-' ? QList<QRect>()
                                                              : QList<QRect>{{0, 0, width, 10}});
            }
            rig.pump();
        }
        if (fake)
            told += fake->sent;
        QCOMPARE(told.join(QLatin1Char('|')), sent);
        rig.pump();
        QCOMPARE(windows.refreshBlur(), offered);
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

QTEST_GUILESS_MAIN(ToplevelFocusTest)
#include "platform_toplevel_focus_test.moc"
