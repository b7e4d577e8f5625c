// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <thread>

#include "device/hid/DeviceWatcher.h"

struct udev;
struct udev_monitor;

namespace varnoth {

// Arrivals and removals of hidraw nodes from the udev monitor, reported with the node's path
// (/dev/hidrawN, the path the transport opened). A thread of its own waits on the monitor and on a
// wake-up descriptor, so Stop returns as soon as a callback in progress has returned.
class UdevWatcher : public DeviceWatcher {
  public:
    UdevWatcher() = default;
    ~UdevWatcher() override;

    UdevWatcher(const UdevWatcher&) = delete;
    UdevWatcher& operator=(const UdevWatcher&) = delete;

    bool Start(Callback callback) override;
    void Stop() override;

  private:
    void Run(Callback callback);
    void Release();

    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    int m_wakeFd = -1;
    std::thread m_thread;
};

}  // namespace varnoth
