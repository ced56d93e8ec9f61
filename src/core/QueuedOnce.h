#pragma once

#include <QObject>

#include <functional>
#include <utility>

namespace nudgewatch {

// Runs a function once, on the next turn of the event loop, however often it
// is asked for before then: a burst of changes costs one update. Owned by
// `context` (a member of it), whose destruction drops a call still queued.
class QueuedOnce {
public:
    QueuedOnce(QObject *context, std::function<void()> run)
        : m_context(context), m_run(std::move(run))
    {
    }
    QueuedOnce(const QueuedOnce &) = delete;
    QueuedOnce &operator=(const QueuedOnce &) = delete;

    void request()
    {
        if (m_pending)
            return;
        m_pending = true;
        QMetaObject::invokeMethod(
            m_context,
            [this] {
                m_pending = false;
                m_run();
            },
            Qt::QueuedConnection);
    }
    bool pending() const { return m_pending; }

private:
    QObject *m_context;
    std::function<void()> m_run;
    bool m_pending = false;
};

} // namespace nudgewatch
