// Which platform the program's windows use: pinned to Xwayland in a Wayland
// session where it is there, unless Qt's -platform option says otherwise.
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
        QTest::addColumn<bool>("pinned");
        QTest::newRow("Wayland with Xwayland") << true << true << QStringList{} << true;
        QTest::newRow("started at login") << true << true << QStringList{"--autostart"} << true;
        QTest::newRow("Wayland without Xwayland") << true << false << QStringList{} << false;
        QTest::newRow("X11 session") << false << true << QStringList{} << false;
        QTest::newRow("-platform wayland")
            << true << true << QStringList{"-platform", "wayland"} << false;
        QTest::newRow("--platform=offscreen")
            << true << true << QStringList{"--platform=offscreen"} << false;
        QTest::newRow("no such option")
            << true << true << QStringList{"-platformx"} << true;
    }
    void choice()
    {
        QFETCH(bool, wayland);
        QFETCH(bool, display);
        QFETCH(QStringList, arguments);
        QFETCH(bool, pinned);
        QCOMPARE(choosePlatform(wayland, display, arguments).pinToXwayland, pinned);
    }
};

QTEST_GUILESS_MAIN(PlatformChoiceTest)
#include "app_platform_choice_test.moc"
