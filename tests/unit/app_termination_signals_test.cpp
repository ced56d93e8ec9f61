// Termination signals reach the event loop instead of ending the program.
#include "app/TerminationSignals.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

using namespace nudgewatch;

class TerminationSignalsTest : public QObject {
    Q_OBJECT
private slots:
    void signalEndsThroughTheEventLoop_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM, as at logout") << SIGTERM;
        QTest::newRow("SIGINT, Ctrl+C") << SIGINT;
        QTest::newRow("SIGHUP, terminal closed") << SIGHUP;
    }
    void signalEndsThroughTheEventLoop()
    {
        QFETCH(int, signalNumber);
        TerminationSignals signals_;
        QVERIFY(signals_.isWatching());
        QSignalSpy received(&signals_, &TerminationSignals::received);
        QCOMPARE(::raise(signalNumber), 0); // still alive: caught
        QVERIFY(received.wait(2000));
        QCOMPARE(received.size(), 1);
        QCOMPARE(received.front().front().toInt(), signalNumber);
        // Caught once: a second one would end the program by default.
        struct sigaction current = {};
        QCOMPARE(sigaction(signalNumber, nullptr, &current), 0);
        QVERIFY(current.sa_handler == SIG_DFL);
    }
    void handlersGoWithTheWatcher()
    {
        {
            TerminationSignals signals_;
            struct sigaction current = {};
            QCOMPARE(sigaction(SIGTERM, nullptr, &current), 0);
            QVERIFY(current.sa_handler != SIG_DFL);
        }
        struct sigaction current = {};
        QCOMPARE(sigaction(SIGTERM, nullptr, &current), 0);
        QVERIFY(current.sa_handler == SIG_DFL);
    }
};

QTEST_GUILESS_MAIN(TerminationSignalsTest)
#include "app_termination_signals_test.moc"
