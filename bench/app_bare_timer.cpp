// The yardstick for the program's CPU use at rest: a Qt program connected to the
// same X server, with no window shown, woken once a second by a timer whose
// callback reads the clock, as the program's own tick does. It prints "ready"
// once its event loop runs.
#include <QApplication>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace {
// Read by nothing: the tick's only effect, which the optimiser must keep.
volatile std::int64_t lastTick = 0;
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTimer tick;
    tick.setInterval(1000);
    QObject::connect(&tick, &QTimer::timeout, [] {
        lastTick = std::chrono::system_clock::now().time_since_epoch().count();
    });
    tick.start();
    QTimer::singleShot(0, [] {
        std::puts("ready");
        std::fflush(stdout);
    });
    return app.exec();
}
