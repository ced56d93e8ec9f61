#pragma once

#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nudgewatch::fakes {

// A FIFO nobody writes to: opening it to read blocks. After `patience` a
// watchdog keeps opening it for writing, which frees a reader stuck on it, so
// code that waits on it fails the test (released()) instead of hanging it.
class Fifo {
public:
    explicit Fifo(const QString &path, std::chrono::milliseconds patience = std::chrono::seconds(3))
        : m_path(QFile::encodeName(path)), m_made(mkfifo(m_path.constData(), 0600) == 0),
          m_watchdog([this, patience] {
              const auto deadline = std::chrono::steady_clock::now() + patience;
              while (!m_done) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
                  if (std::chrono::steady_clock::now() < deadline)
                      continue;
                  const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK);
                  if (fd >= 0) {
                      m_released = true;
                      ::close(fd);
                  }
              }
          })
    {
    }
    ~Fifo()
    {
        m_done = true;
        m_watchdog.join();
        ::unlink(m_path.constData());
    }
    bool made() const { return m_made; }
    bool released() const { return m_released; }

private:
    QByteArray m_path;
    bool m_made;
    std::atomic<bool> m_done = false;
    std::atomic<bool> m_released = false;
    std::thread m_watchdog;
};

} // namespace nudgewatch::fakes
