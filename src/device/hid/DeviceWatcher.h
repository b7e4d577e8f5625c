// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "device/hid/HidBackend.h"

namespace varnoth {

// Tells of HID devices arriving and leaving, with the device path that enumeration and the transport
// use, so the owner can compare it with the path of its open device (SameDevicePath). Every HID device
// is reported, not only amplifiers: a removed device can no longer be identified.
class DeviceWatcher {
  public:
    // Runs on the watcher's own thread; it must not wait for the thread that calls Stop.
    using Callback = std::function<void(bool arrived, const std::string& path)>;

    virtual ~DeviceWatcher() = default;

    // Starts watching; false when the system offers no notifications (nothing is then reported).
    virtual bool Start(Callback callback) = 0;

    // Stops watching; when it returns the callback is not running and is never called again.
    virtual void Stop() = 0;
};

// The watcher for this platform: udev notifications on Linux, a polling watcher elsewhere.
std::unique_ptr<DeviceWatcher> CreateDeviceWatcher(std::shared_ptr<HidBackend> backend);

}  // namespace varnoth
