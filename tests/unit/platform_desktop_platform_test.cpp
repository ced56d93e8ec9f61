// The desktop services as the program gets them, in a session without X11.

#include "platform/DesktopPlatform.h"
#include "platform/x11/XcbConnection.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

using namespace nudgewatch;

class DesktopPlatformTest : public QObject {
    Q_OBJECT
private slots:
    void withoutX11TheNullBackendServesTheRest()
    {
        const auto desktop = DesktopPlatform::create();
        QVERIFY(!desktop->tracker().frontmostApplication().has_value());

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
};

QTEST_MAIN(DesktopPlatformTest)
#include "platform_desktop_platform_test.moc"
