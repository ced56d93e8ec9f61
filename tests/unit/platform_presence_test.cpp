// Presence sources fed the messages their peers send, bad ones included, and
// the readers of D-Bus arguments and X11 counter lists they rely on. Reminders
// as desktop notifications, against a small notification server on a private
// bus: what is sent, one notification at a time, and which of the server's
// signals count.

// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include <gio/gio.h>

#include "fakes/Fakes.h"
#include "fakes/PrivateBus.h"
#include "fakes/Rows.h"
#include "platform/PresenceSources.h"
#include "platform/dbus/DBusBooleanProperty.h"
#include "platform/dbus/DBusMessages.h"
#include "platform/freedesktop/DesktopNotifier.h"
#include "platform/gnome/GnomeDndSource.h"
#include "platform/presence/LogindSource.h"
#include "platform/presence/NotificationServerDndSource.h"
#include "platform/presence/ScreenSaverSource.h"
#include "platform/x11/X11IdleSource.h"
#include "platform/xfce/XfceDndSource.h"

#include <QtTest>

#include <cstring>
#include <memory>
#include <vector>

using namespace nudgewatch;
using fakes::fetchRow;
using fakes::PrivateBus;

namespace {

// A message handed to a source's slot, by name.
struct Step {
    const char *slot;
    QVariantList arguments;
    QString member = QStringLiteral("PropertyChanged");
};
using Steps = QList<Step>;
using Messages = std::tuple<QString, Steps, QString>;         // source, steps: announced
using Departures = std::tuple<QString, QStringList, QString>; // source, peer's steps: announced
using Counters = std::tuple<QByteArray, uint, uint>;          // entries, count: found (0: none)
// Capabilities, shown again before the server answered?, what the server (or a
// stranger) sends: what the program hears.
using Reminder = std::tuple<QString, bool, QString, QString>;

std::unique_ptr<PresenceSource> makeSource(const QString &kind, const QDBusConnection &bus,
                                           Clock &clock)
{
    if (kind == QLatin1String("screen saver"))
        return std::make_unique<ScreenSaverSource>(bus, clock);
    if (kind == QLatin1String("logind"))
        return std::make_unique<LogindSource>(bus, "c1", clock);
    if (kind == QLatin1String("xfce"))
        return std::make_unique<XfceDndSource>(bus, clock);
    if (kind == QLatin1String("gnome")) {
        // GNOME's switch turned on in settings of the test's own.
        qputenv("GSETTINGS_BACKEND", "memory");
        auto source = GnomeDndSource::create(bus, clock);
        if (source) {
            GSettings *settings = g_settings_new("org.gnome.desktop.notifications");
            g_settings_set_boolean(settings, "show-banners", FALSE);
            g_object_unref(settings);
        }
        return source;
    }
    return std::make_unique<NotificationServerDndSource>(bus, clock);
}

QVariantList propertiesChanged(const QString &interface, const QVariantMap &changed,
                               const QStringList &invalidated = {})
{
    return {interface, changed, invalidated};
}

// Counter list entries as an X server sends them.
QByteArray counterEntries(const QList<std::pair<uint32_t, QByteArray>> &counters)
{
    QByteArray bytes;
    for (const auto &[id, name] : counters) {
        char header[14] = {};
        const uint16_t length = uint16_t(name.size());
        std::memcpy(header, &id, 4);
        std::memcpy(header + 12, &length, 2);
        bytes.append(header, 14).append(name);
        bytes.append(QByteArray((4 - bytes.size() % 4) % 4, '\0'));
    }
    return bytes;
}

// A peer's turn on a private bus: "own NAME", "release NAME", "leave" (its
// connection ends), "signal PATH INTERFACE MEMBER true|false", or
// "property PATH INTERFACE NAME true|false" (PropertiesChanged with the value).
void peerStep(QDBusConnection &peer, const QString &step)
{
    const QStringList w = step.split(QLatin1Char(' '));
    if (w.at(0) == QLatin1String("own")) {
        QVERIFY(peer.registerService(w.at(1)));
    } else if (w.at(0) == QLatin1String("release")) {
        QVERIFY(peer.unregisterService(w.at(1)));
    } else {
        QDBusMessage message =
            w.at(0) == QLatin1String("signal")
                ? QDBusMessage::createSignal(w.at(1), w.at(2), w.at(3))
                : QDBusMessage::createSignal(w.at(1), "org.freedesktop.DBus.Properties",
                                             "PropertiesChanged");
        const bool value = w.at(4) == QLatin1String("true");
        if (w.at(0) == QLatin1String("signal"))
            message << value;
        else
            message << w.at(2) << QVariantMap{{w.at(3), value}} << QStringList();
        QVERIFY(peer.send(message));
    }
}

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");

// Keeps the notifications on show; tells when one closes, as servers do.
class FakeServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    explicit FakeServer(QDBusConnection bus) : m_bus(std::move(bus)) {}
    QStringList capabilities;
    QMap<uint, QStringList> shown; // id: summary, body, then the action keys
    uint lastReplaced = 0;
    void emitSignal(QDBusConnection from, const QString &name, const QVariantList &arguments)
    {
        QDBusMessage signal = QDBusMessage::createSignal(objectPath, service, name);
        signal.setArguments(arguments);
        QVERIFY(from.send(signal));
    }

public slots:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString &, uint replaces, const QString &, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &, int)
    {
        const uint id = shown.contains(replaces) ? replaces : ++m_next;
        lastReplaced = replaces;
        QStringList record{summary, body};
        for (qsizetype i = 0; i < actions.size(); i += 2)
            record.append(actions[i]);
        shown.insert(id, record);
        return id;
    }
    void CloseNotification(uint id)
    {
        if (shown.remove(id))
            emitSignal(m_bus, QStringLiteral("NotificationClosed"), {id, 3u});
    }

private:
    QDBusConnection m_bus;
    uint m_next = 0;
};

} // namespace

Q_DECLARE_METATYPE(Steps)

class PresenceTest : public QObject {
    Q_OBJECT
private slots:
    void messagesInTurn_data()
    {
        QTest::addColumn<Messages>("row");
        const char *kde = "onFreedesktopActiveChanged", *gnome = "onGnomeActiveChanged",
                   *sleep = "onPrepareForSleep", *xfconf = "onPropertySignal",
                   *props = "onPropertiesChanged";
        const QString channel = QStringLiteral("xfce4-notifyd"), dnd = "/do-not-disturb";
        const QString iface = QStringLiteral("org.freedesktop.Notifications");
        const QString inhibited = QStringLiteral("Inhibited");
        const auto row = [](const char *tag, const char *source, const Steps &steps,
                            const char *announced) {
            QTest::newRow(tag) << Messages{source, steps, announced};
        };
        row("lock, again, unlock", "screen saver", {{kde, {true}}, {kde, {true}}, {kde, {false}}},
            "ScreenLocked+ ScreenLocked-");
        row("locked while either locker says so", "screen saver",
            {{kde, {true}}, {gnome, {true}}, {kde, {false}}, {gnome, {false}}},
            "ScreenLocked+ ScreenLocked-");
        row("lock signals of other types", "screen saver",
            {{kde, {"true"}}, {gnome, {1}}, {kde, {}}, {gnome, {QVariantMap{{"active", true}}}}},
            "");
        row("sleep and resume", "logind", {{sleep, {true}}, {sleep, {true}}, {sleep, {false}}},
            "Asleep+ Asleep-");
        row("sleep announced wrongly", "logind", {{sleep, {"yes"}}, {sleep, {uint(1)}}}, "");
        row("xfce on, off, on, removed", "xfce",
            {{xfconf, {channel, dnd, true}},
             {xfconf, {channel, dnd, false}},
             {xfconf, {channel, dnd, true}},
             {xfconf, {channel, dnd}, "PropertyRemoved"}},
            "DoNotDisturb+ DoNotDisturb- DoNotDisturb+ DoNotDisturb-");
        row("xfce: other settings and types", "xfce",
            {{xfconf, {channel, "/theme", true}},
             {xfconf, {"xfwm4", dnd, true}},
             {xfconf, {channel, dnd, "true"}},
             {xfconf, {channel, dnd}},
             {xfconf, {1, dnd, true}},
             {xfconf, {channel, dnd, true}, "PropertyCreated"}},
            "");
        row("property: values as they change", "property",
            {{props, propertiesChanged(iface, {{inhibited, true}})},
             {props, propertiesChanged(iface, {{inhibited, true}, {"Other", 3}})},
             {props, propertiesChanged(iface, {{inhibited, false}})}},
            "true true false");
        row("property: others, other interfaces, bad types", "property",
            {{props, propertiesChanged(iface, {{"Other", true}})},
             {props, propertiesChanged("org.kde.Other", {{inhibited, true}})},
             {props, propertiesChanged(iface, {{inhibited, "true"}})},
             {props, propertiesChanged(iface, {{inhibited, 1}})},
             {props, {iface, "Inhibited=true"}},
             {props, {iface}},
             {props, {}}},
            "");
    }
    void messagesInTurn()
    {
        const auto [source, steps, announced] = fetchRow<Messages>();
        fakes::FakeClock clock;
        const QDBusConnection noBus(QStringLiteral("no bus"));
        std::unique_ptr<QObject> target;
        QStringList heard;
        if (source == QLatin1String("property")) {
            auto property = std::make_unique<DBusBooleanProperty>(
                noBus, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                "org.freedesktop.Notifications", "Inhibited");
            connect(property.get(), &DBusBooleanProperty::valueChanged, this,
                    [&](bool on) { heard << (on ? "true" : "false"); });
            target = std::move(property);
        } else {
            std::unique_ptr<PresenceSource> presence = makeSource(source, noBus, clock);
            connect(presence.get(), &PresenceSource::conditionChanged, this,
                    [&](PresenceCondition condition, bool active, WallTime since) {
                        QCOMPARE(since, clock.current);
                        heard << presenceConditionName(condition) + (active ? "+" : "-");
                    });
            target = std::move(presence);
        }
        for (const Step &step : steps) {
            QDBusMessage message = QDBusMessage::createSignal("/", "test", step.member);
            message.setArguments(step.arguments);
            QVERIFY(
                QMetaObject::invokeMethod(target.get(), step.slot, Q_ARG(QDBusMessage, message)));
        }
        QCOMPARE(heard.join(QLatin1Char(' ')), announced);
    }

    // A service that leaves the bus, or gives up its name, no longer holds
    // the condition it announced.
    void serviceLeavesTheBus_data()
    {
        QTest::addColumn<Departures>("row");
        const auto row = [](const char *tag, const char *source, const QString &steps,
                            const char *announced) {
            QTest::newRow(tag) << Departures{source, steps.split('|'), announced};
        };
        const QString gnome = "own org.gnome.ScreenSaver|signal /org/gnome/ScreenSaver "
                              "org.gnome.ScreenSaver ActiveChanged true|";
        const QString kde = "own org.freedesktop.ScreenSaver|signal /ScreenSaver "
                            "org.freedesktop.ScreenSaver ActiveChanged true|";
        const QString sleep = "own org.freedesktop.login1|signal /org/freedesktop/login1 "
                              "org.freedesktop.login1.Manager PrepareForSleep true|";
        const QString quiet = "own org.freedesktop.Notifications|property "
                              "/org/freedesktop/Notifications org.freedesktop.Notifications "
                              "Inhibited true|";
        const char *locked = "ScreenLocked+ ScreenLocked-";
        row("org.gnome.ScreenSaver leaves while locked", "screen saver", gnome + "leave", locked);
        row("org.gnome.ScreenSaver released while locked", "screen saver",
            gnome + "release org.gnome.ScreenSaver", locked);
        row("the shell keeps the lock when its relay name goes", "screen saver",
            "own org.gnome.Shell.ScreenShield|" + gnome + "release org.gnome.ScreenSaver|leave",
            locked);
        row("the KDE locker leaves while locked", "screen saver", kde + "leave", locked);
        row("a locker that is not the name's owner is not heard", "screen saver",
            gnome.section('|', 1) + "leave", "");
        row("logind leaves after announcing sleep", "logind", sleep + "leave", "Asleep+ Asleep-");
        row("logind gives up its name after announcing sleep", "logind",
            sleep + "release org.freedesktop.login1", "Asleep+ Asleep-");
        row("the notification server leaves while quiet", "notifications", quiet + "leave",
            "DoNotDisturb+ DoNotDisturb-");
        // GNOME's switch is GNOME Shell's: another desktop may keep a stale one.
        row("GNOME's switch while GNOME Shell runs", "gnome", "own org.gnome.Shell|leave",
            "DoNotDisturb+ DoNotDisturb-");
        row("GNOME's switch without GNOME Shell", "gnome", "own org.gnome.ScreenSaver|leave", "");
    }
    void serviceLeavesTheBus()
    {
        const auto [source, steps, announced] = fetchRow<Departures>();
        fakes::BusPeers rig;
        if (!rig.bus.isRunning())
            QSKIP("dbus-daemon is not installed");
        fakes::FakeClock clock;
        const std::unique_ptr<PresenceSource> presence = makeSource(source, rig.own, clock);
        if (!presence)
            QSKIP("GNOME's notification settings schema is not installed");
        QStringList heard;
        connect(presence.get(), &PresenceSource::conditionChanged, this,
                [&](PresenceCondition condition, bool active, WallTime) {
                    heard << presenceConditionName(condition) + (active ? "+" : "-");
                });
        rig.pump();
        for (const QString &step : steps) {
            if (step == QLatin1String("leave"))
                rig.leave();
            else
                peerStep(rig.peer, step);
            rig.pump();
        }
        QTRY_COMPARE(heard.join(QLatin1Char(' ')), announced);
    }

    void invalidatedPropertyIsReadAgain()
    {
        const QString iface = QStringLiteral("org.freedesktop.login1.Session");
        const auto lockInvalidated = [](const QVariantList &arguments) {
            return invalidates(arguments, "org.freedesktop.login1.Session", "LockedHint");
        };
        QVERIFY(lockInvalidated(propertiesChanged(iface, {}, {"LockedHint"})));
        // Not another property, nor another interface's; not a list of another type, nor none.
        QVERIFY(!lockInvalidated(propertiesChanged(iface, {}, {"IdleHint"})));
        QVERIFY(
            !lockInvalidated(propertiesChanged("org.freedesktop.login1.User", {}, {"LockedHint"})));
        QVERIFY(!lockInvalidated({iface, QVariantMap{}, 7}));
        QVERIFY(!lockInvalidated({iface, QVariantMap{}}));
    }

    void idleCounterAmongSystemCounters_data()
    {
        QTest::addColumn<Counters>("row");
        const QByteArray xvfb = counterEntries({{7, "DEVICEIDLETIME 2"},
                                                {3, "SERVERTIME"},
                                                {9, "IDLETIME"},
                                                {11, "DEVICEIDLETIME 7"}});
        QTest::newRow("after others, names padded") << Counters{xvfb, 4, 9};
        QTest::newRow("first") << Counters{counterEntries({{5, "IDLETIME"}}), 1, 5};
        QTest::newRow("absent") << Counters{counterEntries({{5, "SERVERTIME"}, {6, "IDLETIMEX"}}),
                                            2, 0};
        QTest::newRow("count beyond the entries")
            << Counters{counterEntries({{3, "SERVERTIME"}}), 9, 0};
        QTest::newRow("count short of it") << Counters{xvfb, 2, 0};
        QTest::newRow("name running past the end")
            << Counters{xvfb.left(xvfb.indexOf("IDLETIME", 40) + 4), 4, 0};
        QTest::newRow("header cut off") << Counters{xvfb.left(9), 4, 0};
        QTest::newRow("nothing") << Counters{QByteArray(), 1, 0};
    }
    void idleCounterAmongSystemCounters()
    {
        const auto [entries, count, found] = fetchRow<Counters>();
        QCOMPARE(findSystemCounter(entries, count, "IDLETIME").value_or(0), found);
    }

    void reminderAndItsActions_data()
    {
        QTest::addColumn<Reminder>("row");
        const QString all = "body actions";
        // clang-format off
        QTest::newRow("Open") << Reminder{all, false, "open", "open"};
        QTest::newRow("a click on the notification") << Reminder{all, false, "default", "open"};
        QTest::newRow("Snooze") << Reminder{all, true, "snooze", "snooze"};
        QTest::newRow("an action it never sent") << Reminder{all, false, "rm -rf", ""};
        QTest::newRow("closed by the user") << Reminder{all, true, "closed", "dismissed"};
        QTest::newRow("another program's notification") << Reminder{all, false, "other", ""};
        QTest::newRow("a stranger sends the server's signal") << Reminder{all, false, "stranger", ""};
        QTest::newRow("no actions offered") << Reminder{"body", false, "closed", "dismissed"};
        // clang-format on
    }
    void reminderAndItsActions()
    {
        const auto [capabilities, quick, event, outcome] = fetchRow<Reminder>();
        PrivateBus bus;
        if (!bus.isRunning())
            QSKIP("dbus-daemon is not installed");
        QDBusConnection own = bus.connect("program");
        QDBusConnection serverBus = bus.connect("server");
        // The server starts after the program: a reminder meanwhile is trouble.
        DesktopNotifier notifier(own);
        QStringList told;
        connect(&notifier, &ReminderNotifier::trouble, this,
                [&told](const QString &why) { told.append(why.isEmpty() ? "over" : "trouble"); });
        notifier.show("/apps/Gone.desktop", "Gone is waiting for you!", {});
        PrivateBus::pump(own, serverBus);
        FakeServer server(serverBus);
        server.capabilities = capabilities.split(' ');
        QVERIFY(serverBus.registerObject(objectPath, &server, QDBusConnection::ExportAllSlots));
        QVERIFY(serverBus.registerService(service));
        PrivateBus::pump(own, serverBus);
        notifier.show("/apps/Mail.desktop", "Mail is waiting for you!", {});
        if (!quick)
            PrivateBus::pump(own, serverBus);
        notifier.show("/apps/Notes.desktop", "Notes is waiting for you!", "Idle for <2 min>");
        PrivateBus::pump(own, serverBus);

        // One notification, replaced or the older one closed; its text stays text.
        const QStringList keys = capabilities.contains("actions")
                                     ? QStringList{"default", "open", "snooze"}
                                     : QStringList{};
        const QList<QStringList> one{
            QStringList{"Notes is waiting for you!", "Idle for &lt;2 min&gt;"} + keys};
        QCOMPARE(server.shown.values(), one);
        QCOMPARE(server.lastReplaced, quick ? 0u : server.shown.firstKey());
        const uint id = notifier.shownId();
        QCOMPARE(id, server.shown.firstKey());

        QStringList heard;
        for (const auto &[signal, word] : {std::pair(&ReminderNotifier::openRequested, "open "),
                                           std::pair(&ReminderNotifier::snoozeRequested, "snooze "),
                                           std::pair(&ReminderNotifier::dismissed, "dismissed ")})
            connect(&notifier, signal, this,
                    [&heard, word](const QString &path) { heard.append(word + path); });
        QDBusConnection stranger = bus.connect("stranger");
        if (event == "closed")
            server.CloseNotification(id);
        else if (event == "other")
            server.emitSignal(serverBus, "ActionInvoked", {id + 100, QString("open")});
        else
            server.emitSignal(event == "stranger" ? stranger : serverBus, "ActionInvoked",
                              {id, event == "stranger" ? QString("open") : event});
        PrivateBus::pump(stranger, own);
        PrivateBus::pump(own, serverBus);
        // Gone once acted on, else withdrawn; its closing is not the user's.
        notifier.withdraw();
        PrivateBus::pump(own, serverBus);
        QVERIFY(server.shown.isEmpty());
        QCOMPARE(told, (QStringList{"trouble", "over"}));
        QCOMPARE(heard,
                 outcome.isEmpty() ? QStringList{} : QStringList{outcome + " /apps/Notes.desktop"});
    }

    // A server restarted (its name gone, then owned again) gets the reminder again.
    void restartedServerShowsItAgain()
    {
        PrivateBus bus;
        if (!bus.isRunning())
            QSKIP("dbus-daemon is not installed");
        QDBusConnection own = bus.connect("program");
        DesktopNotifier notifier(own);
        std::vector<std::unique_ptr<FakeServer>> servers;
        for (const QString name : {"first", "second"}) {
            QDBusConnection serverBus = bus.connect(name);
            servers.push_back(std::make_unique<FakeServer>(serverBus));
            QVERIFY(serverBus.registerObject(objectPath, servers.back().get(),
                                             QDBusConnection::ExportAllSlots));
            QVERIFY(serverBus.registerService(service));
            PrivateBus::pump(own, serverBus);
            if (name == "first")
                notifier.show("/apps/Mail.desktop", "Mail is waiting for you!", {});
            PrivateBus::pump(own, serverBus);
            QCOMPARE(servers.back()->shown.size(), 1);
            QVERIFY(serverBus.unregisterService(service));
        }
    }
};

QTEST_GUILESS_MAIN(PresenceTest)
#include "platform_presence_test.moc"
