// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "device/Transport.h"

namespace varnoth {

// Receives the replies that DeviceLink::DispatchReport routes, on the thread that read them (the reader
// thread or a one-shot read). The device session implements it.
class ReplySink {
  public:
    static constexpr std::size_t kMachineRecordSize = 11;
    static constexpr std::size_t kIrRecordSize = 16;

    virtual ~ReplySink() = default;

    virtual void OnCurEffectMode(std::uint8_t mode) = 0;
    // Replies 0x0a (single register read) and 0x0b (array read), passed whole.
    virtual void OnRegisterRead(const Report& report) = 0;
    virtual void OnMicControlSub(std::uint8_t time, std::uint8_t rate) = 0;
    virtual void OnKeyStudied(std::uint8_t systemCode, std::uint8_t keyIndex, std::uint8_t keyCode) = 0;
    virtual void OnIrRecord(std::span<const std::uint8_t, kIrRecordSize> record) = 0;
    virtual void OnDevName(const std::string& name) = 0;
    virtual void OnDevDate(const std::string& date) = 0;
    virtual void OnMachineRecord(std::span<const std::uint8_t, kMachineRecordSize> record) = 0;
};

}  // namespace varnoth
