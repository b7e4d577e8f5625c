// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/Transport.h"

namespace varnoth {

// One HID interface as enumeration lists it.
struct HidDeviceInfo {
    std::string path;  // platform device path (a /dev/hidraw node on Linux); any length
    UsbIds ids{0, 0};
    std::string product;  // product string, UTF-8; may be empty
};

// One open HID handle. Every call on one handle must come from one thread at a time: the transport
// serialises them. Destroying the object closes the handle; it is never destroyed while a call runs.
class HidDevice {
  public:
    virtual ~HidDevice() = default;

    // Writes one output report, byte 0 being the report ID; returns the bytes written, -1 on failure.
    virtual int Write(const std::uint8_t* data, std::size_t size) = 0;

    // Reads one input report, waiting at most timeout; returns its length, 0 when none arrived (or the
    // read was woken), -1 on failure.
    virtual int Read(std::uint8_t* data, std::size_t size, std::chrono::milliseconds timeout) = 0;

    // The text of the last failure on this handle.
    virtual std::string ErrorText() = 0;

    // False once the device has been unplugged. Asked only after a failure.
    virtual bool Present() = 0;

    // Makes a Read in progress, or the next one, return soon. The only call that may overlap another
    // call on the handle. A backend that cannot interrupt a read returns false: the read's own time-out
    // then bounds the wait.
    virtual bool Wake() = 0;
};

enum class HidOpenError { None, AccessDenied, Failed };

struct HidOpenOutcome {
    std::unique_ptr<HidDevice> device;  // null on failure
    HidOpenError error = HidOpenError::None;
    std::string message;
};

// Discovery and opening of HID interfaces; safe to call from any thread.
class HidBackend {
  public:
    virtual ~HidBackend() = default;

    // Every HID interface with these identifiers; a 0 in either field matches any value.
    virtual std::vector<HidDeviceInfo> Enumerate(UsbIds ids) = 0;

    virtual HidOpenOutcome Open(const HidDeviceInfo& info) = 0;
};

}  // namespace varnoth
