// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace varnoth {

// An event that releases one waiter per Set and then resets itself, with a timed wait.
class AutoResetEvent {
  public:
    explicit AutoResetEvent(bool signalled = false) : m_signalled(signalled) {}

    void Set() {
        {
            std::lock_guard lock(m_mutex);
            m_signalled = true;
        }
        m_cv.notify_one();
    }

    // Puts the event back into the given state without waking anybody.
    void Reset(bool signalled) {
        std::lock_guard lock(m_mutex);
        m_signalled = signalled;
    }

    // Waits at most timeout for the event; consumes it and returns true when it was set in time.
    bool WaitFor(std::chrono::milliseconds timeout) {
        std::unique_lock lock(m_mutex);
        if (!m_cv.wait_for(lock, timeout, [this] { return m_signalled; })) {
            return false;
        }
        m_signalled = false;
        return true;
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_signalled;
};

}  // namespace varnoth
