// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "device/hid/DeviceWatcher.h"

namespace varnoth {

// Finds arrivals and removals by enumerating every HID device once per interval and comparing the
// paths with the previous round. The devices present at Start are not reported.
class PollingWatcher : public DeviceWatcher {
  public:
    explicit PollingWatcher(std::shared_ptr<HidBackend> backend,
                            std::chrono::milliseconds interval = std::chrono::milliseconds(1000));
    ~PollingWatcher() override;

    PollingWatcher(const PollingWatcher&) = delete;
    PollingWatcher& operator=(const PollingWatcher&) = delete;

    bool Start(Callback callback) override;
    void Stop() override;

  private:
    std::set<std::string> Paths();
    void Run(Callback callback, std::set<std::string> known);

    std::shared_ptr<HidBackend> m_backend;
    const std::chrono::milliseconds m_interval;
    std::mutex m_mutex;
    std::condition_variable m_stopRequested;
    bool m_stop = false;  // guarded by m_mutex
    std::thread m_thread;
};

}  // namespace varnoth
