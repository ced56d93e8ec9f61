// Which platform the program's windows use: Xwayland in a Wayland session where
// it is there, else natively, unless Qt's -platform option says otherwise; and
// when reminders come as desktop notifications instead of the card.
#include "app/PlatformChoice.h"

#include <QTest>

using namespace nudgewatch;

class PlatformChoiceTest : public QObject {
    Q_OBJECT
private slots:
    void choice_data()
    {
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<bool>("display");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("pinned");
        QTest::addColumn<QString>("runsOn");
        QTest::addColumn<bool>("notified");
        const QStringList none;
        // clang-format off
        QTest::newRow("Wayland with Xwayland") << true << true << none << "xcb;wayland" << "xcb" << false;
        QTest::newRow("its DISPLAY gone") << true << true << none << "xcb;wayland" << "wayland" << true;
        QTest::newRow("started at login") << true << true << QStringList{"--autostart"} << "xcb;wayland" << "xcb" << false;
        QTest::newRow("Wayland without Xwayland") << true << false << none << "wayland" << "wayland" << true;
        QTest::newRow("X11 session") << false << true << none << "" << "xcb" << false;
        QTest::newRow("-platform wayland") << true << true << QStringList{"-platform", "wayland"} << "" << "wayland" << true;
        QTest::newRow("--platform=offscreen") << true << true << QStringList{"--platform=offscreen"} << "" << "offscreen" << false;
        QTest::newRow("no such option") << true << true << QStringList{"-platformx"} << "xcb;wayland" << "xcb" << false;
        // clang-format on
    }
    void choice()
    {
        QFETCH(bool, wayland);
        QFETCH(bool, display);
        QFETCH(QStringList, arguments);
        QFETCH(QString, pinned);
        QFETCH(QString, runsOn);
        QFETCH(bool, notified);
        const PlatformChoice choice = choosePlatform(wayland, display, arguments);
        QCOMPARE(QString::fromLatin1(choice.pinned), pinned);
        QCOMPARE(!notificationReason(runsOn, choice).isEmpty(), notified);
    }
};

QTEST_GUILESS_MAIN(PlatformChoiceTest)
#include "app_platform_choice_test.moc"
