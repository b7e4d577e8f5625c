// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <utility>
#include <vector>

#include "device/Transport.h"

namespace varnoth::test {

// What other threads hand over, in order, with a wait for how much has come.
template <typename T>
class Collector {
  public:
    void Add(T item) {
        {
            std::lock_guard lock(m_mutex);
            m_items.push_back(std::move(item));
        }
        m_changed.notify_all();
    }
    // Whether `count` items have come within the deadline.
    bool WaitFor(std::size_t count, std::chrono::milliseconds deadline = std::chrono::seconds(20)) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, deadline, [&] { return m_items.size() >= count; });
    }
    std::vector<T> Items() const {
        std::lock_guard lock(m_mutex);
        return m_items;
    }
    // What has come, forgotten here.
    std::vector<T> Take() {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_items, {});
    }

  private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<T> m_items;
};

// The reports a transport's reader delivers.
class ReportInbox : public Collector<Report> {
  public:
    Transport::Deliver Deliver() {
        return [this](const Report& report) { Add(report); };
    }
};

}  // namespace varnoth::test
