// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/hid/HidBackend.h"

namespace varnoth {

// The HID library backend (the hidraw backend on Linux). Discovery and opening are serialised across
// the process, because the library keeps their failure text in one unguarded global.
//
// On Linux a read can be woken: besides the library's handle, an open device keeps a second read-only
// descriptor on the same hidraw node, used only to wait for input together with a wake-up descriptor.
// The kernel gives every open descriptor its own copy of each input report; the copies on the second
// descriptor are drained and dropped, the reports themselves are read through the library. Elsewhere,
// or when that descriptor cannot be opened, a read waits for its full time-out.
class HidapiBackend : public HidBackend {
  public:
    HidapiBackend();

    std::vector<HidDeviceInfo> Enumerate(UsbIds ids) override;
    HidOpenOutcome Open(const HidDeviceInfo& info) override;
};

}  // namespace varnoth
