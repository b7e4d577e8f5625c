// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace varnoth {

// Every report on the link, in both directions, is 61 bytes; byte 0 of an output report is the report ID 2.
inline constexpr std::size_t kReportSize = 61;
using Report = std::array<std::uint8_t, kReportSize>;

struct UsbIds {
    std::uint16_t vendor;
    std::uint16_t product;
};
// The amplifier in normal operation, and waiting for a firmware upgrade.
inline constexpr UsbIds kNormalIds{0x2010, 0x1108};
inline constexpr UsbIds kUpgradeIds{0x0920, 0x1210};

// One open link to an amplifier: transfers output reports and delivers the input reports it receives.
class Transport {
  public:
    using Deliver = std::function<void(const Report&)>;

    virtual ~Transport() = default;

    // Transfers one output report; returns the number of bytes transferred, 0 when the transfer failed.
    // Callers serialise their calls (the session's write lock).
    virtual int Transfer(const Report& report) = 0;

    // Starts the reader: from now on every input report received is passed to deliver, one at a time, on
    // the transport's own reader thread. At most one reader runs per transport.
    virtual void StartReader(Deliver deliver) = 0;

    // Stops the reader and waits at most timeout for it to end; false when it did not end in time. Once it
    // returns true, deliver is never called again. Destroying the transport stops the reader too.
    virtual bool StopReader(std::chrono::milliseconds timeout) = 0;

    // Reads one input report, waiting at most timeout; only while no reader runs.
    virtual std::optional<Report> ReadOne(std::chrono::milliseconds timeout) = 0;
};

struct OpenResult {
    std::unique_ptr<Transport> transport;  // null when nothing was opened
    std::string path;                      // the device path, used to recognise the device's removal
    bool upgradeMode = false;              // found under kUpgradeIds
    bool simulated = false;                // the virtual amplifier, not hardware
    std::string failure;                   // why nothing was opened, for the user and the trace
    bool foundDevice = false;              // nothing opened, but an amplifier is there (no access, busy)
};

// Finds and opens the amplifier: first under the normal identifiers, then under the upgrade identifiers.
class TransportProvider {
  public:
    virtual ~TransportProvider() = default;
    virtual OpenResult Open(UsbIds normal, UsbIds upgrade) = 0;
};

}  // namespace varnoth
