// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "device/ReplySink.h"

namespace varnoth::test {

// A reply sink for tests that watch the link or the wire and not what the replies say.
class NullReplySink : public ReplySink {
  public:
    void OnCurEffectMode(std::uint8_t) override {}
    void OnLevels(const wire::LevelsReply&) override {}
    void OnRegisterArray(const wire::RegisterArrayReply&) override {}
    void OnMicControlSub(std::uint8_t, std::uint8_t) override {}
    void OnKeyStudied(std::uint8_t, std::uint8_t, std::uint8_t) override {}
    void OnIrRecord(std::span<const std::uint8_t, kIrRecordSize>) override {}
    void OnDevName(const std::string&) override {}
    void OnDevDate(const std::string&) override {}
    void OnMachineRecord(std::span<const std::uint8_t, kMachineRecordSize>) override {}
};

}  // namespace varnoth::test
