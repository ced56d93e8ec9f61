// Termination signals reach the event loop instead of ending the program.
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

class TerminationSignalsTest : public QObject {
    Q_OBJECT
private slots:
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

QTEST_GUILESS_MAIN(TerminationSignalsTest)
#include "app_termination_signals_test.moc"
