#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace varnoth {

// A mutex with a timed lock, built on a plain mutex and a condition variable so that every thread checker
// sees its timed acquisitions (the library's timed mutex waits through a call some checkers do not follow).
// Meets the Lockable and TimedLockable requirements.
class TimedMutex {
  public:
    void lock() {
        std::unique_lock guard(m_mutex);
        m_cv.wait(guard, [this] { return !m_held; });
        m_held = true;
    }

    bool try_lock() {
        std::lock_guard guard(m_mutex);
        if (m_held) {
            return false;
        }
        m_held = true;
        return true;
    }

    template <class Rep, class Period>
    bool try_lock_for(const std::chrono::duration<Rep, Period>& timeout) {
        std::unique_lock guard(m_mutex);
        if (!m_cv.wait_for(guard, timeout, [this] { return !m_held; })) {
            return false;
        }
        m_held = true;
        return true;
    }

    void unlock() {
        {
            std::lock_guard guard(m_mutex);
            m_held = false;
        }
        m_cv.notify_one();
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_held = false;
};

}  // namespace varnoth
