#include "platform/qt/QtScheduler.h"

#include <QTimer>

#include <cmath>

namespace nudgewatch {

namespace {

class QtTimer final : public Timer {
public:
    QtTimer(double seconds, bool repeating, Qt::TimerType type, std::function<void()> callback)
        : m_callback(std::move(callback))
    {
        m_timer.setSingleShot(!repeating);
        m_timer.setTimerType(type);
        m_timer.setInterval(static_cast<int>(std::lround(std::max(0.0, seconds) * 1000.0)));
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            // Copy first: the callback may replace (and so destroy) this timer.
            const auto callback = m_callback;
            callback();
        });
        m_timer.start();
    }

    void invalidate() override { m_timer.stop(); }
    bool isValid() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
    std::function<void()> m_callback;
};

} // namespace

std::unique_ptr<Timer> QtScheduler::scheduleRepeating(double intervalSeconds,
                                                      std::function<void()> callback,
                                                      TimerPrecision precision)
{
    const auto type = precision == TimerPrecision::Precise ? Qt::PreciseTimer : Qt::CoarseTimer;
    return std::make_unique<QtTimer>(intervalSeconds, true, type, std::move(callback));
}

std::unique_ptr<Timer> QtScheduler::scheduleOnce(double delaySeconds,
                                                 std::function<void()> callback)
{
    return std::make_unique<QtTimer>(delaySeconds, false, Qt::CoarseTimer, std::move(callback));
}

} // namespace nudgewatch
