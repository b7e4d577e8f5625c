// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/hid/DeviceWatcher.h"

#include <utility>

#include "device/hid/PollingWatcher.h"
#ifdef __linux__
#include "device/hid/UdevWatcher.h"
#endif

namespace varnoth {

std::unique_ptr<DeviceWatcher> CreateDeviceWatcher([[maybe_unused]] std::shared_ptr<HidBackend> backend) {
#ifdef __linux__
    return std::make_unique<UdevWatcher>();
#else
    return std::make_unique<PollingWatcher>(std::move(backend));
#endif
}

}  // namespace varnoth
