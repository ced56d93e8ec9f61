#pragma once

#include <QObject>

class QSocketNotifier;

namespace nudgewatch {

// Turns SIGTERM, SIGINT and SIGHUP into received() on the event loop, so that a
// logout, Ctrl+C in a terminal or a closed terminal end the program the way its
// own Quit does, cleaning up after itself. A second such signal, while the first
// is still being handled, ends the program at once. One instance at a time.
class TerminationSignals final : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // False when the signals could not be caught (no pipe): they then end the
    // program as they always would.
    bool isWatching() const { return m_notifier != nullptr; }

signals:
    void received(int signalNumber);

private:
    void readPending();

    int m_readEnd = -1;
    int m_writeEnd = -1;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace nudgewatch
