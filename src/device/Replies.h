// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "device/Protocol.h"

// The replies of the amplifier, one struct each: Encode for the virtual amplifier, Decode for the panel's
// reader. A reply carries the opcode of the command it answers; Decode reads the bytes of a report of that
// opcode and leaves byte 0, the report ID, alone.
namespace varnoth::wire {

// What answers every command without a reply of its own: the opcode acknowledged and whether it was carried
// out. The panel reads nothing from it; it only releases the next command.
struct AckReply {
    static constexpr std::uint8_t kOpcode = 0xA0;
    static constexpr std::uint8_t kDone = 0;
    static constexpr std::uint8_t kIgnored = 1;
    std::uint8_t acknowledged;
    bool done;
    Report Encode() const;
    static AckReply Decode(const Report& report);
};

// The current memory mode (ReadCurEffectMode).
struct CurEffectModeReply {
    std::uint8_t mode;
    Report Encode() const;
    static CurEffectModeReply Decode(const Report& report);
};

// The channels of one register (ReadRegister) or register array (ReadRegisterArray).
struct RegisterReply {
    RegisterAddress at;
    std::array<std::uint8_t, kArrayChannels> values;
    Report Encode() const;
};
struct RegisterArrayReply {
    RegisterAddress at;
    std::array<std::uint8_t, kArrayChannels> values;
    Report Encode() const;
    static RegisterArrayReply Decode(const Report& report);
};
// The four input levels, ReadRegister's reply for kLevelRegister.
struct LevelsReply {
    std::array<std::uint8_t, 4> levels;
    Report Encode() const;
    // Nothing when the reply is of another register.
    static std::optional<LevelsReply> Decode(const Report& report);
};

// The mic-controls-sub setting (ReadMicControlSub).
struct MicControlSubReply {
    std::uint8_t time;
    std::uint8_t rate;
    Report Encode() const;
    static MicControlSubReply Decode(const Report& report);
};

// A key learnt after StudyKey, reported when it is pressed on the remote control, unasked.
struct KeyStudiedReply {
    std::uint8_t systemCode;
    std::uint8_t keyIndex;
    std::uint8_t keyCode;
    Report Encode() const;
    static KeyStudiedReply Decode(const Report& report);
};

struct IrRecordReply {
    IrRecord record;
    Report Encode() const;
    static IrRecordReply Decode(const Report& report);
};

struct MachineRecordReply {
    MachineRecord record;
    Report Encode() const;
    static MachineRecordReply Decode(const Report& report);
};

// Model name and firmware date: bytes up to a zero byte, one character each (Latin-1). Encode sends the
// text's bytes as they are; Decode returns UTF-8, cut at kDevNameChars or kDevDateChars characters.
struct DevNameReply {
    std::string name;
    Report Encode() const;
    static DevNameReply Decode(const Report& report);
};
struct DevDateReply {
    std::string date;
    Report Encode() const;
    static DevDateReply Decode(const Report& report);
};

}  // namespace varnoth::wire
