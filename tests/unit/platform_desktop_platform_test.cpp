// The desktop services as the program gets them, in a session without X11, and
// start at login: the autostart entry the desktop reads.
// Icons of desktop entries: theme, hicolor, pixmaps, files, the generic fallback;
// the theme the desktop names; GTK's index of a theme's folders, hostile ones too.

// GLib before Qt: its headers use the word "signals".
#include <gio/gdesktopappinfo.h>

#include "fakes/Fakes.h"
#include "fakes/Fifo.h"
#include "fakes/Files.h"
#include "platform/DesktopPlatform.h"
#include "platform/SessionTable.h"
#include "platform/appearance/DesktopSettingsFiles.h"
#include "platform/freedesktop/AutostartEntry.h"
#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/freedesktop/DesktopIcons.h"
#include "platform/freedesktop/IconLookup.h"
#include "platform/freedesktop/IconThemeCache.h"
#include "platform/x11/X11Session.h"
#include "platform/xcb/XcbConnection.h"

#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/socket.h>
#include <sys/stat.h>
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

bool writeSquare(const QString &path, QColor color, int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(color);
    return QDir().mkpath(QFileInfo(path).path()) && image.save(path);
}

// Writes GTK's index of a theme folder as desktops do on installing icons.
bool indexFolder(const QString &folder)
{
    return QProcess::execute(QStringLiteral("gtk-update-icon-cache"),
                             {"--force", "--quiet", "--ignore-theme-index", folder}) == 0;
}

bool makeOlder(const QString &path)
{
    const struct timespec times[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 3600, 0}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

} // namespace

class DesktopPlatformTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    const DesktopEntryRegistry m_entries;
    std::unique_ptr<DesktopIcons> m_icons;
    qreal m_ratio = 1.0;
    std::optional<fakes::Fifo> m_fifo, m_themedFifo; // never to be opened

    // The icon of a new entry whose Icon= is `value` (%DIR%: the test's folder).
    QImage iconOf(QByteArray value)
    {
        const QString path = m_dir.filePath("applications/entry.desktop");
        value.replace("%DIR%", QFile::encodeName(m_dir.path()));
        const QByteArray text =
            "[Desktop Entry]\nType=Application\nName=x\nExec=true\nIcon=" + value;
        return writeFile(path, text) ? m_icons->iconForFile(path) : QImage();
    }

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
        const auto write = [this](const QString &path, const QByteArray &text) {
            QVERIFY(writeFile(m_dir.filePath(path), text));
        };
        const QByteArray entry = "[Desktop Entry]\nType=Application\n";
        write("config/xfce4/helpers.rc", "TerminalEmulator=shell\n");
        write("data/xfce4/helpers/shell.desktop",
              "[Desktop Entry]\nType=X-XFCE-Helper\nX-XFCE-Binaries=sh;\nX-XFCE-Commands=%B;\n");
        write("bin/exo-open", "#!/bin/sh\n");
        QVERIFY(QFile::setPermissions(m_dir.filePath("bin/exo-open"),
                                      QFile::ReadOwner | QFile::ExeOwner));
        write("data/applications/launcher.desktop",
              entry + "Name=Terminal Emulator\nExec=" + QFile::encodeName(m_dir.filePath("bin")) +
                  "/exo-open --launch TerminalEmulator\n");
        write("data/applications/shell.desktop", entry + "Name=Shell\nExec=sh\n");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath("config")));
        const auto unset = qScopeGuard([] { qunsetenv("XDG_CONFIG_HOME"); });
        const auto desktop = DesktopPlatform::create();
        const auto listed = [&desktop] {
            QStringList names;
            for (const InstalledApplication &application :
                 desktop->catalog().installedApplications())
                names.append(application.name);
            return names;
        };
        // GIO may have read the folder before: its monitor then brings the entries.
        QTRY_COMPARE(listed(), QStringList{"Shell"});
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

    void initTestCase()
    {
        // GIO reads its folders once, before anything asks it.
        fakes::useDesktopEntries(m_dir.filePath("data"), {m_dir.filePath("none")});
        const QString icons = m_dir.filePath("icons");
        const QByteArray index = "\nDirectories=48x48/apps\n[48x48/apps]\nSize=48\nType=Fixed\n";
        QVERIFY(writeFile(icons + "/nwtest/index.theme", "[Icon Theme]\nInherits=hicolor" + index));
        QVERIFY(writeFile(icons + "/hicolor/index.theme", "[Icon Theme]" + index));
        QVERIFY(writeSquare(icons + "/nwtest/48x48/apps/nw-theme-red.png", Qt::red, 48));
        QVERIFY(writeSquare(icons + "/hicolor/48x48/apps/nw-theme-red.png", Qt::green, 48));
        QVERIFY(writeSquare(icons + "/hicolor/48x48/apps/nw-hicolor-green.png", Qt::green, 48));
        QVERIFY(writeSquare(m_dir.filePath("pixmaps/nw-pixmap-blue.png"), Qt::blue, 32));
        QVERIFY(writeSquare(m_dir.filePath("files/yellow.png"), Qt::yellow, 16));
        QVERIFY(writeFile(m_dir.filePath("files/broken.png"), "not a PNG at all"));
        // The theme is indexed; an icon added later without updating the index
        // is not seen there, as for GTK.
        QVERIFY(indexFolder(icons + "/nwtest"));
        QVERIFY(writeSquare(icons + "/nwtest/48x48/apps/nw-unindexed.png", Qt::red, 48));
        QVERIFY(writeSquare(icons + "/hicolor/48x48/apps/nw-unindexed.png", Qt::green, 48));
        // Under a second search path the theme's folder has no index.theme, and
        // an index older than the folder, which is not believed.
        const QString more = m_dir.filePath("more-icons");
        QVERIFY(writeSquare(more + "/nwtest/48x48/apps/nw-indexed.png", Qt::red, 48));
        QVERIFY(indexFolder(more + "/nwtest") && makeOlder(more + "/nwtest/icon-theme.cache"));
        QVERIFY(writeSquare(more + "/nwtest/48x48/apps/nw-more-purple.png", Qt::magenta, 48));
        // An icon only ever opens regular files: a FIFO in its place, or named by
        // an SVG, is not waited on. An SVG's references within itself still draw.
        const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' "
                               "xmlns:xlink='http://www.w3.org/1999/xlink' width='48' height='48'>";
        QVERIFY(writeFile(m_dir.filePath("files/refers.svg"),
                          svg + "<image width='48' height='48' xlink:href='../fifo.png'/></svg>"));
        QVERIFY(writeFile(m_dir.filePath("files/inline.svg"),
                          svg + "<defs><rect id='r' width='48' height='48' fill='red'/></defs>"
                                "<use xlink:href='#r'/></svg>"));
        QVERIFY(writeFile(m_dir.filePath("files/spaced.svg"),
                          svg + "<use xlink:href='#r'/><image width='48' height='48' XLINK:HREF"
                                " =\n \" ../fifo.png\"/></svg>"));
        QVERIFY(writeFile(m_dir.filePath("files/open.svg"),
                          svg + "<rect width='48' height='48' fill='red'/><a href='x></svg>"));
        m_fifo.emplace(m_dir.filePath("fifo.png"));
        m_themedFifo.emplace(icons + "/hicolor/48x48/apps/nw-fifo.png");
        QVERIFY(m_fifo->made() && m_themedFifo->made());
        m_icons = std::make_unique<DesktopIcons>(
            m_entries, IconLookup{"nwtest", {icons, more}, {m_dir.filePath("pixmaps")}},
            [this] { return m_ratio; });
    }

    // While the theme is deferred only what needs no theme resolves; nothing
    // is remembered, so asking again afterwards gives the theme's icon.
    void resolution_data()
    {
        QTest::addColumn<QByteArray>("icon");
        QTest::addColumn<QString>("colour"); // empty: the generic icon
        QTest::addColumn<qreal>("ratio");    // the screen's pixel ratio
        QTest::addColumn<bool>("deferred");  // the theme
        const auto row = [](const char *tag, const char *icon, const char *colour, qreal ratio = 1,
                            bool deferred = false) {
            QTest::newRow(tag) << QByteArray(icon) << QString(colour) << ratio << deferred;
        };
        row("theme deferred", "nw-theme-red", "", 1, true);
        row("pixmaps while the theme is deferred", "nw-pixmap-blue", "blue", 1, true);
        row("the desktop's theme first", "nw-theme-red", "red");
        row("then hicolor", "nw-hicolor-green", "lime");
        row("the theme's current index believed", "nw-unindexed", "lime");
        row("another search path, no index.theme, an old index", "nw-more-purple", "magenta");
        row("pixmaps, scaled up", "nw-pixmap-blue", "blue");
        row("absolute path, scaled up", "%DIR%/files/yellow.png", "yellow");
        row("file that does not decode", "%DIR%/files/broken.png", "");
        row("FIFO by path", "%DIR%/fifo.png", "");
        row("FIFO in a theme", "nw-fifo", "");
        row("SVG naming a file", "%DIR%/files/refers.svg", "");
        row("SVG, inline references", "%DIR%/files/inline.svg", "red");
        row("SVG naming a file, spaced, capitals", "%DIR%/files/spaced.svg", "");
        row("SVG, a reference never closed", "%DIR%/files/open.svg", "");
        row("at a pixel ratio", "nw-theme-red", "red", 1.5);
        row("generic, at a pixel ratio", "%DIR%/files/broken.png", "", 1.5);
        row("nonsense pixel ratio, taken as 1", "nw-theme-red", "red", qQNaN());
    }
    void resolution()
    {
        QFETCH(QByteArray, icon);
        QFETCH(QString, colour);
        QFETCH(qreal, ratio);
        QFETCH(bool, deferred);
        m_ratio = ratio;
        m_icons->setThemeDeferred(deferred);
        const QImage image = iconOf(icon);
        m_icons->setThemeDeferred(false);
        const int side = ratio == 1.5 ? 72 : 48;
        QCOMPARE(image.size(), QSize(side, side));
        if (colour.isEmpty())
            QCOMPARE(image, m_icons->genericIcon());
        else // filled out to the full square
            QVERIFY(image.pixelColor(side / 2, side / 2) == QColor(colour) &&
                    image.pixelColor(2, 2) == QColor(colour));
        QVERIFY(!m_fifo->released() && !m_themedFifo->released());
    }

    void genericIconStandsInForWhatIsNoEntry()
    {
        QVERIFY(m_icons->genericIcon().pixelColor(24, 40).alpha() == 255); // the drawing's body
        for (const QString &path : {QStringLiteral("/nonexistent/x.desktop"), QDir::tempPath()})
            QCOMPARE(m_icons->iconForFile(path), m_icons->genericIcon());
    }

    // Names spread over folders and formats, as gtk-update-icon-cache writes
    // them: enough of them that a wrong hash would miss some.
    void indexAsGtkWritesIt()
    {
        QTemporaryDir d;
        const QStringList folders{"16x16/apps", "48x48/apps", "scalable/apps"};
        QHash<QString, QList<IconThemeCache::Location>> expected;
        for (int i = 0; i < 40; ++i) {
            const QString name = QStringLiteral("app-%1%2").arg(i).arg(i % 3 ? ".Org_x" : "");
            const QString folder = folders[i % 3];
            const bool svgToo = i % 4 == 0;
            QVERIFY(writeFile(d.filePath(folder + "/" + name + ".png"), "x"));
            if (svgToo)
                QVERIFY(writeFile(d.filePath(folder + "/" + name + ".svg"), "x"));
            expected[name] = {{folder, IconThemeCache::Png | (svgToo ? IconThemeCache::Svg : 0u)}};
        }
        QVERIFY(writeFile(d.filePath("48x48/apps/app-0.xpm"), "x"));
        expected["app-0"].prepend({"48x48/apps", IconThemeCache::Xpm});
        QVERIFY(indexFolder(d.path()));
        const auto cache = IconThemeCache::open(d.path());
        QVERIFY(cache);
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            auto found = cache->find(it.key());
            std::sort(found.begin(), found.end(),
                      [](const auto &a, const auto &b) { return a.subfolder > b.subfolder; });
            QCOMPARE(found.size(), it->size());
            for (qsizetype i = 0; i < found.size(); ++i)
                QVERIFY2(found[i].subfolder == it->at(i).subfolder &&
                             found[i].suffixes == it->at(i).suffixes,
                         qPrintable(it.key()));
        }
        QVERIFY(cache->find("app-40").isEmpty() && cache->find("").isEmpty());
        QVERIFY(makeOlder(d.filePath("icon-theme.cache")));
        QVERIFY(!IconThemeCache::open(d.path()));
        // Cut short while open (a mapped file would fault): what is gone is not there.
        QVERIFY(QFile::resize(d.filePath("icon-theme.cache"), 16));
        QVERIFY(cache->find("app-1").isEmpty());
    }

    // A damaged or hostile index is refused or answers nothing; it is never
    // read outside the file (the sanitizer run checks that).
    void hostileIndex_data()
    {
        QTest::addColumn<int>("offset"); // -1: the file cut to `value` bytes
        QTest::addColumn<int>("width");
        QTest::addColumn<quint32>("value");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("found"); // the first folder found for "nw-icon"
        QTest::newRow("sound") << 0 << 4 << quint32(0x00010000) << true << "48x48/apps";
        QTest::newRow("version 2") << 0 << 2 << quint32(2) << false << "";
        QTest::newRow("shorter than its header") << -1 << 0 << quint32(8) << false << "";
        QTest::newRow("no buckets") << 12 << 4 << quint32(0) << false << "";
        QTest::newRow("buckets past the end") << 12 << 4 << quint32(1000) << false << "";
        QTest::newRow("hash table past the end") << 4 << 4 << quint32(0xfffffff0) << false << "";
        QTest::newRow("folder list past the end") << 44 << 4 << quint32(0x7fffffff) << false << "";
        QTest::newRow("icon past the end") << 16 << 4 << quint32(0xfffffffe) << true << "";
        QTest::newRow("chain loops on itself") << 20 << 4 << quint32(20) << true << "48x48/apps";
        QTest::newRow("name past the end") << 24 << 4 << quint32(0x80000000) << true << "";
        QTest::newRow("name not ended") << -1 << 0 << quint32(70) << true << "";
        QTest::newRow("images past the end") << 28 << 4 << quint32(0xffffffff) << true << "";
        QTest::newRow("more images than the file holds")
            << 32 << 4 << quint32(0xffffffff) << true << "48x48/apps";
        QTest::newRow("folder number out of range") << 36 << 2 << quint32(7) << true << "";
        QTest::newRow("folder name past the end") << 48 << 4 << quint32(0xfffffff0) << true << "";
        QTest::newRow("no known format") << 38 << 2 << quint32(8) << true << "";
    }
    void hostileIndex()
    {
        QFETCH(int, offset);
        QFETCH(int, width);
        QFETCH(quint32, value);
        QFETCH(bool, opens);
        QFETCH(QString, found);
        QByteArray bytes = fakes::smallestIconIndex();
        if (offset < 0)
            bytes.truncate(value);
        for (int i = 0; i < width; ++i)
            bytes[offset + i] = char(value >> (8 * (width - 1 - i)));
        QTemporaryDir d;
        QVERIFY(writeFile(d.filePath("icon-theme.cache"), bytes));
        const auto cache = IconThemeCache::open(d.path());
        QCOMPARE(bool(cache), opens);
        // Qt's loader is given only a cache whose chains all end: not one whose
        // bucket (16) or icon (20) leads out of the file or round in a loop.
        QCOMPARE(IconThemeCache::isSound(d.path()), opens && offset != 16 && offset != 20);
        if (!cache)
            return;
        const auto locations = cache->find("nw-icon");
        QCOMPARE(locations.isEmpty() ? QString() : locations.first().subfolder, found);
        QVERIFY(cache->find("nw-other").isEmpty()); // the loop, too, ends
    }

    // The desktop's icon theme: GTK's settings (3 before 4), the user's before
    // the system's, then KDE's.
    void themeFromSettingsFiles()
    {
        QTemporaryDir d;
        // Each file written in turn, and the theme named once it is there.
        for (const auto &[file, text, theme] :
             {std::tuple{"user/kdeglobals",
                         "[General]\nTheme=x\nTerminal[$e]=$HOME/t\n[Icons]\n Theme = kd", "kd"},
              {"system/gtk-4.0/settings.ini", "[Settings]\r\ngtk-icon-theme-name=Four\r\n", "Four"},
              {"system/gtk-3.0/settings.ini", "[Settings]\ngtk-icon-theme-name=Site", "Site"},
              {"user/gtk-4.0/settings.ini", "[Settings]\ngtk-icon-theme-name=Mine", "Mine"},
              {"user/gtk-3.0/settings.ini",
               "[Settings]\n#gtk-icon-theme-name=Old\n gtk-icon-theme-name = \"My Own\"",
               "My Own"}}) {
            QVERIFY(writeFile(d.filePath(file), text));
            QCOMPARE(desktopIconTheme({d.filePath("user"), d.filePath("system")}), theme);
        }
    }
};

QTEST_MAIN(DesktopPlatformTest)
#include "platform_desktop_platform_test.moc"
