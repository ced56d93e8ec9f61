#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace nudgewatch {

namespace {

constexpr std::array<int, 3> endingSignals{SIGTERM, SIGINT, SIGHUP};

// A signal handler can reach nothing but globals: the pipe's write end.
volatile sig_atomic_t writeEnd = -1;

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    // Full pipe: a wake-up is already pending, and the first signal is enough.
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("nudgewatch: cannot watch for termination signals: %s", strerror(errno));
        return;
    }
    m_readEnd = ends[0];
    m_writeEnd = ends[1];
    writeEnd = m_writeEnd;
    m_notifier = new QSocketNotifier(m_readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPending);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Once caught, the default comes back: a second signal ends a program stuck on its way out.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int signalNumber : endingSignals)
        sigaction(signalNumber, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    if (m_notifier == nullptr)
        return;
    for (const int signalNumber : endingSignals) {
        struct sigaction current = {};
        // Only handlers still ours go back to the default; SA_RESETHAND did the rest.
        if (sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == onSignal)
            std::signal(signalNumber, SIG_DFL);
    }
    writeEnd = -1;
    ::close(m_writeEnd);
    ::close(m_readEnd);
}

void TerminationSignals::readPending()
{
    unsigned char byte = 0;
    while (::read(m_readEnd, &byte, 1) == 1)
        emit received(byte);
}

} // namespace nudgewatch
