// The desktop services as the program gets them, in a session without X11.

#include "platform/DesktopPlatform.h"
#include "platform/SessionKind.h"
#include "platform/x11/XcbConnection.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

using namespace nudgewatch;

class DesktopPlatformTest : public QObject {
    Q_OBJECT
private slots:
    void backendForTheSession_data()
    {
        QTest::addColumn<QString>("sessionType");
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<bool>("waylandDisplay");
        QTest::addColumn<QString>("qtPlatform");
        QTest::addColumn<TrackerBackend>("expected");
        using B = TrackerBackend;
        QTest::newRow("X11 session") << "x11"
                                     << "XFCE" << false << "xcb" << B::X11;
        // Xwayland's active window is never a native one.
        QTest::newRow("GNOME on Wayland, Qt on xcb")
            << "wayland"
            << "ubuntu:GNOME" << true << "xcb" << B::GnomeShell;
        QTest::newRow("Plasma") << "wayland"
                                << "KDE" << true << "xcb" << B::KWin;
        QTest::newRow("sway") << "wayland"
                              << "sway" << true << "xcb" << B::Wlroots;
        QTest::newRow("compositor started by hand") << ""
                                                    << "" << true << "xcb" << B::Wlroots;
        QTest::newRow("GNOME on X11 beside a nested compositor")
            << "x11"
            << "GNOME" << true << "xcb" << B::X11;
        QTest::newRow("no X11, no Wayland") << "tty"
                                            << "" << false << "offscreen" << B::None;
        QTest::newRow("desktop named in lower case") << "Wayland"
                                                     << "kde" << true << "xcb" << B::KWin;
    }
    void backendForTheSession()
    {
        QFETCH(QString, sessionType);
        QFETCH(QString, desktop);
        QFETCH(bool, waylandDisplay);
        QFETCH(QString, qtPlatform);
        QFETCH(TrackerBackend, expected);
        QCOMPARE(trackerBackendFor({sessionType, desktop, waylandDisplay, qtPlatform}), expected);
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
        QTest::qWait(50);
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
