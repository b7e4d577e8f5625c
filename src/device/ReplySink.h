// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "device/Replies.h"
#include "device/Transport.h"

namespace varnoth {

// Receives the replies that DeviceLink::DispatchReport decodes (device/Replies.h) and routes, on the thread
// that read them (the reader thread or a one-shot read). The device session implements it.
class ReplySink {
  public:
    static constexpr std::size_t kMachineRecordSize = wire::kMachineRecordSize;
    static constexpr std::size_t kIrRecordSize = wire::kIrRecordSize;

    virtual ~ReplySink() = default;

    virtual void OnCurEffectMode(std::uint8_t mode) = 0;
    // The input levels (a ReadRegister reply of the level register) and the channels of a register array.
    virtual void OnLevels(const wire::LevelsReply& reply) = 0;
    virtual void OnRegisterArray(const wire::RegisterArrayReply& reply) = 0;
    virtual void OnMicControlSub(std::uint8_t time, std::uint8_t rate) = 0;
    virtual void OnKeyStudied(std::uint8_t systemCode, std::uint8_t keyIndex, std::uint8_t keyCode) = 0;
    virtual void OnIrRecord(std::span<const std::uint8_t, kIrRecordSize> record) = 0;
    virtual void OnDevName(const std::string& name) = 0;
    virtual void OnDevDate(const std::string& date) = 0;
    virtual void OnMachineRecord(std::span<const std::uint8_t, kMachineRecordSize> record) = 0;
};

}  // namespace varnoth
