// How the program's process runs: which platform its windows use (Xwayland in a
// Wayland session where it is there, else natively, unless Qt's -platform option
// says otherwise) and when reminders come as desktop notifications instead of the
// card; and termination signals reaching the event loop instead of ending it.
#include "app/PlatformChoice.h"
#include "app/TerminationSignals.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

using namespace nudgewatch;

namespace {

bool defaultHandler(int signalNumber)
{
    struct sigaction current = {};
    return sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_DFL;
}

} // namespace

class ProcessTest : public QObject {
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

    void signalEndsThroughTheEventLoop_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<int>("another"); // not raised
        QTest::newRow("SIGTERM, as at logout") << SIGTERM << SIGINT;
        QTest::newRow("SIGINT, Ctrl+C") << SIGINT << SIGHUP;
        QTest::newRow("SIGHUP, terminal closed") << SIGHUP << SIGTERM;
    }
    void signalEndsThroughTheEventLoop()
    {
        QFETCH(int, signalNumber);
        QFETCH(int, another);
        {
            TerminationSignals signals_;
            QVERIFY(signals_.isWatching());
            QSignalSpy received(&signals_, &TerminationSignals::received);
            QCOMPARE(::raise(signalNumber), 0); // still alive: caught
            QVERIFY(received.wait(2000));
            QCOMPARE(received.size(), 1);
            QCOMPARE(received.front().front().toInt(), signalNumber);
            // Caught once: a second one would end the program by default.
            QVERIFY(defaultHandler(signalNumber));
            QVERIFY(!defaultHandler(another));
        }
        QVERIFY(defaultHandler(another)); // the handlers go with the watcher
    }
};

QTEST_GUILESS_MAIN(ProcessTest)
#include "app_process_test.moc"
