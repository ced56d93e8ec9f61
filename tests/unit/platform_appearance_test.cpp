// The settings the program reads. Its own file: where it lives, what it keeps,
// and what it does with bad input. A file that cannot be read is never written
// over; setting it aside keeps it beside a fresh file that holds every value
// that could be read. The desktop's appearance: font names and sizes, colour
// schemes, the portal's answers, GTK's settings files and XSETTINGS data.

// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include <gio/gio.h>

#include "fakes/Fakes.h"
#include "fakes/Fifo.h"
#include "fakes/Files.h"
#include "fakes/PrivateBus.h"
#include "fakes/Rows.h"
#include "platform/appearance/FontNames.h"
#include "platform/appearance/PortalSettings.h"
#include "platform/appearance/SystemAppearance.h"
#include "platform/appearance/XSettingsData.h"
#include "platform/qt/SettingsDefaults.h"
#include "platform/session/SessionFacts.h"

#include <QColor>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

Q_DECLARE_METATYPE(nudgewatch::fontNames::AppearanceSources)

namespace {

using Kept = std::tuple<QByteArray, double, bool>; // content: threshold, bytes untouched?
// Content, copies already beside the file: the copy's suffix, the reason, the
// paths the fresh file lists.
using Damaged = std::tuple<QByteArray, QStringList, QString, QString, QStringList>;
using Font = std::tuple<bool, QString, QString, double>; // a Qt string?, text: family, size
using FontSources = std::tuple<fontNames::AppearanceSources, QString, double>; // family, scale
// What the user's and the system's settings.ini hold: dark?, the font's family.
using GtkFiles = std::tuple<QByteArray, QByteArray, bool, QString>;

// Builds XSETTINGS data as a manager writes it, in either byte order.
class XSettingsBlob {
public:
    explicit XSettingsBlob(bool bigEndian) : m_big(bigEndian) {}
    XSettingsBlob &string(const QByteArray &name, const QByteArray &value)
    {
        return add(1, name, number(quint32(value.size())) + padded(value));
    }
    XSettingsBlob &integer(const QByteArray &name, qint32 value)
    {
        return add(0, name, number(quint32(value)));
    }
    XSettingsBlob &color(const QByteArray &name, quint16 r, quint16 g, quint16 b, quint16 a)
    {
        return add(2, name, number(r) + number(g) + number(b) + number(a));
    }
    // The settings after the byte order, a serial and their count.
    QByteArray data() const
    {
        return char(m_big ? 1 : 0) + QByteArray(3, '\0') + number(quint32(7)) + number(m_count) +
               m_body;
    }

private:
    // A setting: its type, name and last change serial (0), then its value.
    XSettingsBlob &add(char type, const QByteArray &name, const QByteArray &value)
    {
        m_body += type + QByteArray(1, '\0') + number(quint16(name.size())) + padded(name) +
                  number(quint32(0)) + value;
        ++m_count;
        return *this;
    }
    static QByteArray padded(const QByteArray &bytes)
    {
        return bytes + QByteArray((4 - bytes.size() % 4) % 4, '\0');
    }
    template <typename T> QByteArray number(T value) const
    {
        QByteArray bytes(sizeof(T), '\0');
        m_big ? qToBigEndian(value, bytes.data()) : qToLittleEndian(value, bytes.data());
        return bytes;
    }

    bool m_big;
    QByteArray m_body;
    quint32 m_count = 0;
};

} // namespace

// The desktop portal's Settings: the settings it knows, and for the rest the
// error a portal without a backend for them answers with.
class FakePortal : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    QHash<QString, QVariant> known; // by "group/key"

public slots:
    QDBusVariant Read(const QString &group, const QString &key)
    {
        const auto value = known.constFind(group + u'/' + key);
        if (value != known.constEnd())
            return QDBusVariant(*value);
        sendErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"),
                       QStringLiteral("Requested setting not found"));
        return {};
    }
};

class PlatformAppearanceTest : public QObject {
    Q_OBJECT
private slots:
    // Saved through the user's file under XDG_CONFIG_HOME, and read back as saved:
    // commas, quotes, spaces and unicode, then what looks like a type.
    void roundTrip()
    {
        for (const QStringList &paths :
             {QStringList{"/x/a, b.desktop", "/x/\"q\".desktop", "/x/Zeichen äöü.desktop"},
              QStringList{"@Variant(x)", "@Invalid()"}}) {
            QTemporaryDir dir;
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
            QVERIFY(SettingsDefaults().setStringList(defaultsKeys::trackedAppPaths, paths));
            qunsetenv("XDG_CONFIG_HOME");
            const QString file = dir.filePath("Nudgewatch/Nudgewatch.conf");
            QCOMPARE(SettingsDefaults(file).stringList(defaultsKeys::trackedAppPaths), paths);
        }
    }

    // What could be read is used; what could not is left as the user saved it,
    // and a start that changes no value leaves the file's bytes alone.
    void storeKeepsWhatItCanReadOfBadValues_data()
    {
        QTest::addColumn<Kept>("row");
        QTest::newRow("nan") << Kept{"[General]\nNudgewatch.idleThreshold=nan\n", 60.0, false};
        QTest::newRow("paths with non-strings")
            << Kept{"[General]\nNudgewatch.trackedAppPaths=@Rect(1 2 3 4)\n"
                    "Nudgewatch.idleThreshold=45\n",
                    45.0, true};
        QTest::newRow("comment kept")
            << Kept{"; my note\n[General]\nNudgewatch.idleThreshold=45\n", 45.0, true};
    }
    void storeKeepsWhatItCanReadOfBadValues()
    {
        const auto [content, threshold, untouched] = fetchRow<Kept>();
        QTemporaryDir dir;
        const QString file = dir.filePath("Nudgewatch.conf");
        QVERIFY(writeFile(file, content));
        StoreFixture f;
        SettingsDefaults defaults(file);
        const auto store = f.makeStore(&defaults);
        QCOMPARE(store->idleThresholdSeconds(), threshold);
        QVERIFY(store->trackedApps().empty());
        QCOMPARE(readFile(file) == content, untouched);
        QCOMPARE(SettingsDefaults(file).doubleValue(defaultsKeys::idleThreshold), threshold);
    }

    // Where the file's parent is a file, or the file a folder.
    void unwritableLocationReportsFailure()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("blocker"), "not a directory"));
        QVERIFY(QDir(dir.path()).mkdir("dir.conf"));
        for (const char *relativePath : {"blocker/Nudgewatch.conf", "dir.conf"}) {
            SettingsDefaults defaults(dir.filePath(relativePath));
            QVERIFY(!defaults.setDouble(defaultsKeys::idleThreshold, 45));
            QCOMPARE(defaults.doubleValue(defaultsKeys::idleThreshold), 0.0); // not kept as saved
        }
    }

    void damagedFileIsSetAside_data()
    {
        // QSettings would block on a FIFO before the window ever appears: what is
        // no regular file ("FIFO", "link to a FIFO") is damaged unopened, and set
        // aside by a rename.
        QTest::addColumn<Damaged>("row");
        const auto row = [](const char *tag, const QByteArray &content, const char *keptAs,
                            const char *reason, const QStringList &fresh = {"/a.desktop"},
                            const QStringList &earlier = {}) {
            QTest::newRow(tag) << Damaged{content, earlier, keptAs, reason, fresh};
        };
        const QByteArray paths = "Nudgewatch.trackedAppPaths=";
        const char *notUtf8 = "line 2 holds bytes that are not UTF-8";
        row("open section", "[General\n" + paths + "/a.desktop\n", ".damaged",
            "line 1 opens a section");
        row("earlier copies are kept", "[General\n" + paths + "/a.desktop\n", ".damaged.3", "",
            {"/a.desktop"}, {".damaged", ".damaged.2"});
        row("sound file", "[General]\n" + paths + "/a.desktop\n", "", "");
        row("byte-order mark", "\xEF\xBB\xBF[General]\n" + paths + "/a.desktop\n", ".damaged",
            "byte-order mark");
        row("# comment", "[General]\n\n  # mine\n" + paths + "/a.desktop\n", ".damaged",
            "line 3 is a comment starting with \u201c#\u201d; comments in this file start "
            "with \u201c;\u201d");
        // Saved again, the path would be another one: it lives on in the copy only.
        row("not UTF-8", "[General]\n" + paths + "/\xFF.desktop\n", ".damaged", notUtf8, {});
        row("one path not UTF-8 among valid ones",
            "[General]\n" + paths + "/a.desktop, /\xFF.desktop, /b.desktop, /c\xC3\xA9.desktop\n",
            ".damaged", notUtf8, {"/a.desktop", "/b.desktop", "/c\u00e9.desktop"});
        row("valid paths after a misread threshold",
            "[General]\nNudgewatch.idleThreshold=4\xFF\n" + paths + "/a.desktop, /b.desktop\n",
            ".damaged", notUtf8, {"/a.desktop", "/b.desktop"});
        row("FIFO", "FIFO", ".damaged", "not a regular file", {});
        row("link to a FIFO", "link to a FIFO", ".damaged", "not a regular file", {});
    }
    void damagedFileIsSetAside()
    {
        const auto [content, earlierCopies, keptAs, reason, freshPaths] = fetchRow<Damaged>();
        QTemporaryDir dir;
        const QString file = dir.filePath("Nudgewatch.conf");
        std::optional<Fifo> fifo;
        if (content.contains("FIFO"))
            QVERIFY(fifo.emplace(content.startsWith("link") ? dir.filePath("fifo") : file).made() &&
                    (!content.startsWith("link") || QFile::link(dir.filePath("fifo"), file)));
        else
            QVERIFY(writeFile(file, content));
        for (const QString &suffix : earlierCopies)
            QVERIFY(writeFile(file + suffix, suffix.toUtf8()));

        SettingsDefaults defaults(file);
        QCOMPARE(defaults.isDamaged(), !keptAs.isEmpty());
        if (keptAs.isEmpty()) {
            QCOMPARE(defaults.setAsideDamaged(), QString());
            QVERIFY(!QFile::exists(file + ".damaged"));
            return;
        }
        QVERIFY(defaults.damageReason().contains(reason));
        QVERIFY(!defaults.setDouble(defaultsKeys::idleThreshold, 90));
        QVERIFY(fifo || readFile(file) == content); // never written over

        QCOMPARE(defaults.setAsideDamaged(), file + keptAs);
        QVERIFY(fifo || readFile(file + keptAs) == content);
        for (const QString &suffix : earlierCopies)
            QCOMPARE(readFile(file + suffix), suffix.toUtf8());
        // What could be read lives on in the fresh file, which takes writes again.
        QVERIFY(defaults.setDouble(defaultsKeys::idleThreshold, 90));
        SettingsDefaults reread(file);
        QVERIFY(!reread.isDamaged());
        QCOMPARE(reread.stringList(defaultsKeys::trackedAppPaths).value_or(QStringList{}),
                 freshPaths);
        QCOMPARE(reread.doubleValue(defaultsKeys::idleThreshold), 90.0);
        QVERIFY(!fifo || !fifo->released());
    }

    // Pango names, as GTK desktops keep them, and Qt font strings, as Plasma does.
    void fontDescriptions_data()
    {
        QTest::addColumn<Font>("row");
        const auto row = [](const char *tag, bool qt, const char *text, const char *family,
                            double size) {
            QTest::newRow(tag) << Font{qt, text, family, size};
        };
        row("Xfce", false, "Sans 10", "Sans", 10);
        row("GNOME", false, "Cantarell 11", "Cantarell", 11);
        row("two-word family", false, "Noto Sans 13", "Noto Sans", 13);
        row("style words dropped", false, "DejaVu Sans Bold Italic 12.5", "DejaVu Sans", 12.5);
        row("comma before size", false, "Ubuntu, 14", "Ubuntu", 14);
        row("no size", false, "Inter", "Inter", 0);
        row("pixel size is no point size", false, "Sans 16px", "Sans", 0);
        row("empty", false, "", "", 0);
        row("family alone named like a style", false, "Bold", "Bold", 0);
        row("Plasma 5", true, "Noto Sans,10,-1,5,50,0,0,0,0,0", "Noto Sans", 10);
        row("Plasma 6", true, "Noto Sans,14,-1,5,400,0,0,0,0,0,0,0,0,0,0,1", "Noto Sans", 14);
        row("Qt pixel font", true, "Hack,-1,16,5,50", "Hack", 0);
        row("Qt empty", true, "", "", 0);
    }
    void fontDescriptions()
    {
        const auto [qt, text, family, pointSize] = fetchRow<Font>();
        const InterfaceFont font = qt ? fontNames::fromQtString(text) : fontNames::fromPango(text);
        QCOMPARE(font.family, family);
        QCOMPARE(font.pointSize, pointSize);
    }

    // The first source that states a preference wins; a theme's name is the last
    // word. Rows: portal (-1 none), GNOME's scheme, GNOME's theme, XSETTINGS'
    // theme, then dark?; and where GTK's settings.ini plays a part (under every
    // live source), its preference for dark and its theme's name.
    void schemeSources_data()
    {
        QTest::addColumn<std::pair<fontNames::AppearanceSources, bool>>("row");
        const auto row = [](const char *tag, int portal, const char *gnome, const char *gnomeTheme,
                            const char *theme, bool dark, bool gtkPrefersDark = false,
                            const char *gtkTheme = "") {
            fontNames::AppearanceSources sources{.gnomeScheme = gnome,
                                                 .gnomeTheme = gnomeTheme,
                                                 .xsettingsTheme = theme,
                                                 .gtkPrefersDark = gtkPrefersDark,
                                                 .gtkTheme = gtkTheme};
            if (portal >= 0)
                sources.portalScheme = uint(portal);
            QTest::newRow(tag) << std::pair(sources, dark);
        };
        row("portal dark", 1, "prefer-light", "", "", true);
        row("portal light over a dark theme", 2, "", "", "Greybird-dark", false);
        row("portal neutral, GNOME dark", 0, "prefer-dark", "", "", true);
        row("no portal, GNOME light", -1, "prefer-light", "", "Arc-Dark", false);
        row("GNOME default, Xfce dark theme", -1, "default", "Adwaita", "Greybird-dark", true);
        row("XSETTINGS theme over GNOME's", -1, "", "Adwaita:dark", "Greybird", false);
        row("GNOME's theme on Wayland", -1, "default", "Adwaita-dark", "", true);
        row("nothing", -1, "", "", "", false);
        row("settings.ini prefers dark", -1, "", "", "", true, true, "Adwaita");
        row("XSETTINGS' light theme over settings.ini", -1, "", "", "Greybird", false, true);
        row("portal light over settings.ini", 2, "", "", "", false, true);
        row("GNOME light over settings.ini", -1, "prefer-light", "", "", false, true);
        row("settings.ini's dark theme alone", -1, "default", "", "", true, false, "Arc-Dark");
        row("XSETTINGS' theme over settings.ini's", -1, "", "", "Greybird", false, false,
            "Arc-Dark");
    }
    void schemeSources()
    {
        const auto [sources, dark] = fetchRow<std::pair<fontNames::AppearanceSources, bool>>();
        QCOMPARE(fontNames::schemeOf(sources) == ColorScheme::Dark, dark);
    }

    // Rows: desktop, then KDE's, the portal's, XSETTINGS' and GNOME's font;
    // the portal and GNOME scale text by 2.
    void fontSources_data()
    {
        QTest::addColumn<FontSources>("row");
        const auto row = [](const char *tag, const char *desktop, const char *kde,
                            const char *portal, const char *xsettings, const char *gnome,
                            const char *family, double scale) {
            QTest::newRow(tag) << FontSources{{.currentDesktop = desktop,
                                               .portalFont = portal,
                                               .portalTextScaling = 2.0,
                                               .gnomeFont = gnome,
                                               .gnomeTextScaling = 2.0,
                                               .xsettingsFont = xsettings,
                                               .kdeFont = kde},
                                              family,
                                              scale};
        };
        row("Plasma's own font", "KDE", "Hack,15", "Cantarell 11", "Sans 9", "", "Hack", 1.5);
        row("KDE font ignored elsewhere", "GNOME", "Hack,15", "Cantarell 11", "", "", "Cantarell",
            2);
        row("XSETTINGS without a portal", "XFCE", "", "", "Sans 15", "Cantarell 11", "Sans", 1.5);
        row("GNOME's settings, scaled", "sway", "", "", "", "Inter 10", "Inter", 2);
        // Each desktop's own default size is 1.
        row("Ubuntu's GNOME at its default", "ubuntu:GNOME", "", "", "Sans 11", "", "Sans", 1);
        row("no desktop named", "", "", "", "Sans 12", "", "Sans", 1.2);
        row("none", "XFCE", "", "", "", "", "", 1);
        QTest::newRow("settings.ini's font last")
            << FontSources{{.currentDesktop = "XFCE", .gtkFont = "Inter 15"}, "Inter", 1.5};
        QTest::newRow("GNOME's over settings.ini's")
            << FontSources{{.gnomeFont = "Cantarell 11", .gtkFont = "Inter 15"}, "Cantarell", 1.1};
    }
    void fontSources()
    {
        const auto [sources, family, scale] = fetchRow<FontSources>();
        QCOMPARE(fontNames::fontOf(sources).family, family);
        QCOMPARE(fontNames::fontOf(sources).scale(), scale);
    }

    // GNOME's interface settings are followed live where asked for (Wayland,
    // GNOME) and left unread elsewhere (other X11 desktops, where XSETTINGS
    // carries the look), and kdeglobals is read with KDE's own markers in it.
    void systemAppearance_data()
    {
        QTest::addColumn<bool>("gnomeSettings");
        QTest::newRow("GNOME's settings read") << true;
        QTest::newRow("GNOME's settings unread") << false;
    }
    void systemAppearance()
    {
        QFETCH(bool, gnomeSettings);
        qputenv("GSETTINGS_BACKEND", "memory");
        qunsetenv("DISPLAY");
        QTemporaryDir home;
        const QString kdeGlobals = home.filePath(QStringLiteral("kdeglobals"));
        QVERIFY(writeFile(kdeGlobals,
                          "[$Version]\nupdate_info=fonts.upd:1\n\n[General]\nName[$e]=x\n"
                          "font=Noto Sans,15,-1,5,50,0,0,0,0,0\n"));
        GSettingsSchemaSource *source = g_settings_schema_source_get_default();
        GSettingsSchema *schema =
            source ? g_settings_schema_source_lookup(source, "org.gnome.desktop.interface", TRUE)
                   : nullptr;
        GSettings *settings = nullptr;
        if (schema != nullptr && g_settings_schema_has_key(schema, "color-scheme")) {
            settings = g_settings_new("org.gnome.desktop.interface");
            g_settings_set_string(settings, "color-scheme", "prefer-dark");
        }
        if (schema != nullptr)
            g_settings_schema_unref(schema);
        SystemAppearance appearance(QDBusConnection(QStringLiteral("none")),
                                    {QStringLiteral("KDE"), kdeGlobals, {}, gnomeSettings});
        QCOMPARE(appearance.interfaceFont().family, QStringLiteral("Noto Sans"));
        QCOMPARE(appearance.interfaceFont().scale(), 1.5);
        if (settings == nullptr)
            QSKIP("GNOME's interface settings schema is not installed");
        const auto cleanup = qScopeGuard([settings] {
            g_settings_set_string(settings, "color-scheme", "default");
            g_object_unref(settings);
        });

        // Dark before the program started: read at once, or not at all.
        QCOMPARE(appearance.colorScheme() == ColorScheme::Dark, gnomeSettings);
        if (!gnomeSettings)
            return;
        QSignalSpy changes(&appearance, &DesktopAppearance::colorSchemeChanged);
        g_settings_set_string(settings, "color-scheme", "default");
        QTRY_COMPARE(appearance.colorScheme(), ColorScheme::Light);
        g_settings_set_string(settings, "color-scheme", "prefer-dark");
        QTRY_COMPARE(appearance.colorScheme(), ColorScheme::Dark);
        QCOMPARE(changes.size(), 2);
    }

    // GNOME's settings where GTK reads them or GNOME runs; XSETTINGS elsewhere.
    void gnomeSettingsBySession_data()
    {
        QTest::addColumn<std::pair<SessionFacts, bool>>("row"); // the session: read?
        using F = SessionFacts;
        QTest::newRow("Xfce") << std::pair(F{"x11", "XFCE", false, "xcb"}, false);
        QTest::newRow("Openbox, nothing named") << std::pair(F{"x11", "", false, "xcb"}, false);
        QTest::newRow("GNOME on Xorg") << std::pair(F{"x11", "ubuntu:GNOME", false, "xcb"}, true);
        QTest::newRow("sway from a console") << std::pair(F{"tty", "", true, "xcb"}, true);
        QTest::newRow("Plasma on Wayland") << std::pair(F{"wayland", "KDE", true, "wayland"}, true);
    }
    void gnomeSettingsBySession()
    {
        const auto [session, read] = fetchRow<std::pair<SessionFacts, bool>>();
        QCOMPARE(AppearanceFiles::forSession(session).gnomeSettings, read);
    }

    // A setting the portal does not know is left to the other sources, never
    // taken from the error's text; the colour scheme only as an unsigned number.
    void portalAnswers_data()
    {
        using Row = std::pair<QVariant, std::optional<uint>>; // the scheme answered: taken
        QTest::addColumn<Row>("row");
        QTest::newRow("dark") << Row{QVariant::fromValue(uint(1)), 1};
        QTest::newRow("signed") << Row{QVariant::fromValue(1), {}};
        QTest::newRow("text") << Row{QVariant(QStringLiteral("1")), {}};
    }
    void portalAnswers()
    {
        const auto [scheme, taken] = fetchRow<std::pair<QVariant, std::optional<uint>>>();
        fakes::PrivateBus bus;
        if (!bus.isRunning())
            QSKIP("dbus-daemon is not installed");
        FakePortal portal;
        portal.known = {{QStringLiteral("org.freedesktop.appearance/color-scheme"), scheme},
                        {QStringLiteral("org.gnome.desktop.interface/text-scaling-factor"), 1.5}};
        QDBusConnection portalBus = bus.connect(QStringLiteral("portal"));
        QVERIFY(portalBus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                                         QDBusConnection::ExportAllSlots));
        QVERIFY(portalBus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        PortalSettings settings(bus.connect(QStringLiteral("program")));
        // Asked for in turn and answered in turn: the scaling comes last.
        QTRY_COMPARE(settings.textScalingFactor(), 1.5);
        QCOMPARE(settings.colorScheme(), taken);
        QCOMPARE(settings.fontName(), QString());
    }

    // On Plasma a new font in kdeglobals is taken once Plasma announces it;
    // the same signal from anyone else is not heard.
    void kdeFontAnnounced()
    {
        fakes::PrivateBus bus;
        if (!bus.isRunning())
            QSKIP("dbus-daemon is not installed");
        qunsetenv("DISPLAY");
        QTemporaryDir home;
        const QString kdeGlobals = home.filePath(QStringLiteral("kdeglobals"));
        QVERIFY(writeFile(kdeGlobals, "[General]\nfont=Noto Sans,10,-1,5,50,0,0,0,0,0\n"));
        SystemAppearance appearance(bus.connect(QStringLiteral("program")),
                                    {QStringLiteral("KDE"), kdeGlobals, {}, false});
        QCOMPARE(appearance.interfaceFont().family, QStringLiteral("Noto Sans"));
        QSignalSpy changes(&appearance, &DesktopAppearance::interfaceFontChanged);
        QVERIFY(writeFile(kdeGlobals, "[General]\nfont=Hack,12,-1,5,50,0,0,0,0,0\n"));
        const QDBusMessage refresh = QDBusMessage::createSignal(
            QStringLiteral("/KDEPlatformTheme"), QStringLiteral("org.kde.KDEPlatformTheme"),
            QStringLiteral("refreshFonts"));
        QDBusConnection plasma = bus.connect(QStringLiteral("plasma"));
        QVERIFY(plasma.send(refresh));
        fakes::PrivateBus::pump(plasma, bus.connect(QStringLiteral("program")));
        QCOMPARE(appearance.interfaceFont().family, QStringLiteral("Noto Sans"));
        QVERIFY(plasma.registerService(QStringLiteral("org.kde.kcmshell_kcm_fonts")));
        QVERIFY(plasma.send(refresh));
        QTRY_COMPARE(appearance.interfaceFont().family, QStringLiteral("Hack"));
        QCOMPARE(changes.size(), 1);
    }

    // GTK's settings.ini files, the user's first: each key from the first file
    // that has it; a file that is no regular file or does not parse is passed by.
    void gtkSettingsFiles_data()
    {
        QTest::addColumn<GtkFiles>("row");
        const QByteArray systemDark = "[Settings]\ngtk-application-prefer-dark-theme=1\n"
                                      "gtk-font-name=DejaVu Sans 12\n";
        QTest::newRow("user's dark theme")
            << GtkFiles{"[Settings]\ngtk-theme-name=Arc-Dark\n", {}, true, {}};
        QTest::newRow("system's preference, user's font") << GtkFiles{
            "[Settings]\ngtk-font-name=\"Cantarell Bold 11\"\n", systemDark, true, "Cantarell"};
        QTest::newRow("user's light preference over the system's")
            << GtkFiles{"[Settings]\ngtk-application-prefer-dark-theme=false\n", systemDark, false,
                        "DejaVu Sans"};
        QTest::newRow("user's file unparsable")
            << GtkFiles{"[Settings\n\x01", systemDark, true, "DejaVu Sans"};
        QTest::newRow("user's file a folder")
            << GtkFiles{"folder", systemDark, true, "DejaVu Sans"};
        QTest::newRow("none") << GtkFiles{{}, {}, false, {}};
    }
    void gtkSettingsFiles()
    {
        const auto [user, system, dark, family] = fetchRow<GtkFiles>();
        qunsetenv("DISPLAY");
        QTemporaryDir dir;
        const QStringList paths{dir.filePath(QStringLiteral("user.ini")),
                                dir.filePath(QStringLiteral("system.ini"))};
        const QList<QByteArray> contents{user, system};
        for (qsizetype i = 0; i < paths.size(); ++i)
            QVERIFY(contents[i] == "folder"  ? QDir().mkpath(paths[i])
                    : !contents[i].isEmpty() ? writeFile(paths[i], contents[i])
                                             : true);
        SystemAppearance appearance(QDBusConnection(QStringLiteral("none")),
                                    {QStringLiteral("XFCE"), {}, paths, false});
        QCOMPARE(appearance.colorScheme() == ColorScheme::Dark, dark);
        QCOMPARE(appearance.interfaceFont().family, family);
    }

    // Data from a little- and a big-endian manager; cut anywhere it keeps what
    // was whole before the cut and never reads past it.
    void xsettings()
    {
        for (const bool bigEndian : {false, true}) {
            const QByteArray data = XSettingsBlob(bigEndian)
                                        .string("Net/ThemeName", "Greybird-dark")
                                        .integer("Xft/DPI", -1)
                                        .color("Gtk/Color", 0xffff, 0, 0x8080, 0xffff)
                                        .string("Gtk/FontName", "Sans 10")
                                        .data();
            const auto settings = parseXSettings(data);
            QCOMPARE(settings.size(), 4);
            QCOMPARE(settings.value("Net/ThemeName").toString(), QStringLiteral("Greybird-dark"));
            QCOMPARE(settings.value("Gtk/FontName").toString(), QStringLiteral("Sans 10"));
            QCOMPARE(settings.value("Xft/DPI").toInt(), -1);
            QCOMPARE(settings.value("Gtk/Color").value<QColor>().rgba64().red(), quint16(0xffff));
            const qsizetype firstEnds = 12 + 4 + 16 + 4 + 4 + 16; // the theme's name and value
            for (qsizetype length = 0; length < data.size(); ++length) {
                const auto cut = parseXSettings(data.left(length));
                QCOMPARE(cut.contains("Gtk/FontName"), false);
                QCOMPARE(cut.contains("Net/ThemeName"), length >= firstEnds);
            }
            // A count larger than the data and an unknown type end the reading.
            QByteArray claims = XSettingsBlob(bigEndian).integer("A", 1).data();
            claims[8] = char(0xff); // claims far more settings than there are
            QCOMPARE(parseXSettings(claims).size(), 1);
            QByteArray unknown = XSettingsBlob(bigEndian).integer("A", 1).integer("B", 2).data();
            unknown[12 + 4 + 4 + 4 + 4] = 9; // the second setting's type
            QCOMPARE(parseXSettings(unknown).keys(), QList<QString>{"A"});
        }
    }
};

QTEST_GUILESS_MAIN(PlatformAppearanceTest)
#include "platform_appearance_test.moc"
