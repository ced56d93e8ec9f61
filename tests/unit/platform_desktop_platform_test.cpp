// The desktop services as the program gets them, in a session without X11.

#include "platform/DesktopPlatform.h"
#include "platform/SessionKind.h"
#include "platform/x11/XcbConnection.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(nudgewatch::SessionFacts)

using namespace nudgewatch;

class DesktopPlatformTest : public QObject {
    Q_OBJECT
private slots:
    void backendForTheSession_data()
    {
        QTest::addColumn<SessionFacts>("session");
        QTest::addColumn<TrackerBackend>("expected");
        using B = TrackerBackend;
        using F = SessionFacts;
        QTest::newRow("X11 session") << F{"x11", "XFCE", false, "xcb"} << B::X11;
        // Xwayland's active window is never a native one.
        QTest::newRow("GNOME on Wayland, Qt on xcb")
            << F{"wayland", "ubuntu:GNOME", true, "xcb"} << B::GnomeShell;
        QTest::newRow("Plasma") << F{"wayland", "KDE", true, "xcb"} << B::KWin;
        QTest::newRow("sway") << F{"wayland", "sway", true, "xcb"} << B::Wlroots;
        QTest::newRow("compositor started by hand") << F{"", "", true, "xcb"} << B::Wlroots;
        QTest::newRow("GNOME on X11 beside a nested compositor")
            << F{"x11", "GNOME", true, "xcb"} << B::X11;
        QTest::newRow("no X11, no Wayland") << F{"tty", "", false, "offscreen"} << B::None;
        QTest::newRow("desktop named in lower case") << F{"Wayland", "kde", true, "xcb"} << B::KWin;
    }
    void backendForTheSession()
    {
        QFETCH(SessionFacts, session);
        QFETCH(TrackerBackend, expected);
        QCOMPARE(trackerBackendFor(session), expected);
    }

    void withoutX11TheNullBackendServesTheRest()
    {
        const auto desktop = DesktopPlatform::create();
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

    void connectionLossCannotHappenWithoutAConnection()
    {
        const auto desktop = DesktopPlatform::createWithConnection(nullptr);
        QVERIFY(!desktop->tracker().frontmostApplication().has_value());
        QSignalSpy lost(desktop.get(), &DesktopPlatform::connectionLost);
        QCoreApplication::processEvents();
        QCOMPARE(lost.count(), 0);
    }

    void aWaylandSessionWhoseCompositorCannotBeReachedIsNotFollowed()
    {
        qputenv("XDG_SESSION_TYPE", "wayland");
        qputenv("WAYLAND_DISPLAY", "/nonexistent/wayland-0");
        const auto desktop = DesktopPlatform::create();
        QVERIFY(!desktop->tracker().status().tracking);
        QVERIFY(!desktop->tracker().frontmostApplication().has_value());
    }
};

QTEST_MAIN(DesktopPlatformTest)
#include "platform_desktop_platform_test.moc"
