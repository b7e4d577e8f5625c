// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "device/Commands.h"
#include "device/Replies.h"
#include "device/sim/VirtualAmp.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;

template <std::size_t size>
std::string Bytes(const std::array<std::uint8_t, size>& bytes) {
    std::string text;
    for (const std::uint8_t b : bytes) {
        text += (text.empty() ? "" : " ") + std::to_string(b);
    }
    return text;
}

// A reply as the panel decodes it, in words: what the panel takes from it.
std::string Decoded(const Report& reply) {
    switch (reply[wire::kOpcodeByte]) {
        case wire::AckReply::kOpcode: {
            const wire::AckReply ack = wire::AckReply::Decode(reply);
            return "ack " + std::to_string(ack.acknowledged) + (ack.done ? " done" : " ignored");
        }
        case op::ReadCurEffectMode:
            return "mode " + std::to_string(wire::CurEffectModeReply::Decode(reply).mode);
        case op::ReadRegister: {
            const auto levels = wire::LevelsReply::Decode(reply);
            return levels ? "levels " + Bytes(levels->levels) : "another register";
        }
        case op::ReadRegisterArray: {
            const wire::RegisterArrayReply array = wire::RegisterArrayReply::Decode(reply);
            return "array " + std::to_string(array.at.block) + " " + std::to_string(array.at.index) + ": " +
                   Bytes(array.values);
        }
        case op::ReadMicControlSub: {
            const wire::MicControlSubReply sub = wire::MicControlSubReply::Decode(reply);
            return "mic-controls-sub " + std::to_string(sub.time) + " " + std::to_string(sub.rate);
        }
        case op::StudyKey: {
            const wire::KeyStudiedReply key = wire::KeyStudiedReply::Decode(reply);
            return "key " + std::to_string(key.systemCode) + " " + std::to_string(key.keyIndex) + " " +
                   std::to_string(key.keyCode);
        }
        case op::ReadIRSet:
            return "ir " + Bytes(wire::IrRecordReply::Decode(reply).record);
        case op::Machine_ReadAll:
            return "machine " + Bytes(wire::MachineRecordReply::Decode(reply).record);
        case op::ReadDevName:
            return "name " + wire::DevNameReply::Decode(reply).name;
        case op::ReadDevDate:
            return "date " + wire::DevDateReply::Decode(reply).date;
        default:
            return "unknown reply " + std::to_string(reply[wire::kOpcodeByte]);
    }
}

// Every command of the protocol, encoded as the panel sends it, goes to the virtual amplifier, and its reply,
// decoded as the panel reads it, says what the command did. One amplifier through the table, so that a
// write is proven by the read after it.
TEST(Protocol, EveryCommandRoundTripsThroughTheVirtualAmplifier) {
    VirtualAmp amp;
    amp.SetLevelClock([] { return 5000ms; });
    const std::string levels = "levels " + Bytes(amp.Levels());
    const wire::IrRecord ir{0x20, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    const wire::MachineRecord machine{0, 20, 21, 30, 31, 32, 33, 1, 0x3F, 0x5A, 0x01};
    std::vector<std::uint8_t> image(40);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 3);
    }
    std::vector<std::string> unasked;
    amp.Subscribe([&](const Report& r) { unasked.push_back(Decoded(r)); });

    struct Case {
        const char* what;
        Report command;
        std::string reply;
        std::function<void()> before = {};
    };
    const Case cases[] = {
        {"model name", wire::ReadDevName{}.Encode(), "name VQ317X"},
        {"firmware date", wire::ReadDevDate{}.Encode(), "date 2011-11-28"},
        {"memory mode at start", wire::ReadCurEffectMode{}.Encode(), "mode 0"},
        {"save a memory mode", wire::SaveMode{2}.Encode(), "ack 4 done"},
        {"the saved mode is current", wire::ReadCurEffectMode{}.Encode(), "mode 2"},
        {"load a memory mode", wire::LoadMode{1}.Encode(), "ack 5 done"},
        {"reset a memory mode", wire::ResetMode{3}.Encode(), "ack 6 done"},
        {"the reset mode is current", wire::ReadCurEffectMode{}.Encode(), "mode 3"},
        {"no mode 4", wire::LoadMode{4}.Encode(), "ack 5 ignored"},
        {"write a register", wire::WriteRegister{8, 4, 1, 99}.Encode(), "ack 9 done"},
        {"read its array", wire::ReadRegisterArray{{8, 4}}.Encode(), "array 8 4: 64 99 64 64 0 0 0 0"},
        {"no register beyond the bank", wire::WriteRegister{16, 0, 0, 1}.Encode(), "ack 9 ignored"},
        {"master volumes on the wire hold the volume + 40",
         wire::ReadRegisterArray{wire::kVolumeRegister}.Encode(), "array 10 32: 58 58 60 60 40 62 0 0",
         [&] {
             amp.TurnVolume(1, 20);
             amp.TurnVolume(2, 0);
             amp.TurnVolume(3, 22);
         }},
        {"the input levels", wire::ReadRegister{wire::kLevelRegister}.Encode(), levels},
        {"set mic-controls-sub", wire::SetMicControlSub{30, 12}.Encode(), "ack 16 done"},
        {"read mic-controls-sub", wire::ReadMicControlSub{}.Encode(), "mic-controls-sub 30 12"},
        {"another selector", wire::SetMicControlSub{1, 1, 2}.Encode(), "ack 16 ignored"},
        {"write the IR record", wire::ApplyIRSet{ir}.Encode(), "ack 99 done"},
        {"read the IR record", wire::ReadIRSet{}.Encode(), "ir " + Bytes(ir)},
        {"learn key 3", wire::StudyKey{3}.Encode(), "ack 96 done"},
        {"no key 16, after key 3 was pressed", wire::StudyKey{16}.Encode(), "ack 96 ignored",
         [&] { EXPECT_TRUE(amp.PressRemoteKey(0x21, 0x1C)); }},
        {"stop learning", wire::CancelStudying{}.Encode(), "ack 97 done"},
        {"write the machine record", wire::ApplyMachineSet{machine}.Encode(), "ack 145 done"},
        {"read the machine record", wire::MachineReadAll{}.Encode(), "machine " + Bytes(machine)},
        {"a machine reset needs its key", wire::ResetMachine{0x55}.Encode(), "ack 104 ignored"},
        {"machine reset", wire::ResetMachine{}.Encode(), "ack 104 done"},
        {"the factory's machine record again", wire::MachineReadAll{}.Encode(),
         "machine 1 18 18 36 36 36 36 0 0 90 1"},
        {"the farewell", wire::UnLockMachine{}.Encode(), "ack 138 done"},
        {"announce a page, in upgrade mode", wire::UpgradeBlock{0x1000}.Encode(), "ack 1 done",
         [&] { amp.SetUpgradeMode(true); }},
        {"image for it", wire::UpgradeData::Of(0x1000, image).Encode(), "ack 2 done"},
        {"announce the closing pair", wire::UpgradeBlock{0xE400, 0x20}.Encode(), "ack 1 done"},
        {"the farewell in upgrade mode", wire::UpgradeExit{}.Encode(), "ack 3 done"},
    };
    for (const Case& c : cases) {
        if (c.before) {
            c.before();
        }
        EXPECT_EQ(Decoded(amp.Receive(c.command)), c.reply) << c.what;
    }
    EXPECT_EQ(unasked, std::vector<std::string>{"key 33 3 28"}) << "the learnt key, unasked";
    const UpgradeFlash flash = amp.Flash();
    EXPECT_EQ(flash.Announcements(), (std::vector<UpgradeFlash::Announcement>{{0x1000, 0}, {0xE400, 0x20}}));
    EXPECT_EQ(std::vector<std::uint8_t>(flash.Bytes().begin() + 0x1000, flash.Bytes().begin() + 0x1000 + 40),
              image);
    EXPECT_EQ(amp.PcControl().farewells, 2u);
}

// What the virtual amplifier decodes is what the panel encoded, for every command with arguments, at the ends
// of their ranges too.
TEST(Protocol, EachCommandDecodesWhatItsEncodeWrote) {
    const auto roundTrip = [](const char* what, const auto& command) {
        using Command = std::decay_t<decltype(command)>;
        EXPECT_EQ(Command::Decode(command.Encode()).Encode(), command.Encode()) << what;
    };
    roundTrip("SaveMode", wire::SaveMode{3});
    roundTrip("LoadMode", wire::LoadMode{255});
    roundTrip("ResetMode", wire::ResetMode{0});
    roundTrip("WriteRegister", wire::WriteRegister{15, 63, 7, 255});
    roundTrip("ReadRegister", wire::ReadRegister{wire::kLevelRegister, 2});
    roundTrip("ReadRegisterArray", wire::ReadRegisterArray{wire::kVolumeRegister});
    roundTrip("SetMicControlSub", wire::SetMicControlSub{255, 99});
    roundTrip("StudyKey", wire::StudyKey{15});
    roundTrip("ApplyIRSet", wire::ApplyIRSet{{0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0xFE}});
    roundTrip("ApplyMachineSet", wire::ApplyMachineSet{{0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0xFE}});
    roundTrip("ResetMachine", wire::ResetMachine{});
    roundTrip("UpgradeBlock", wire::UpgradeBlock{0xE400, 0x20});
    const std::vector<std::uint8_t> longImage(70, 0xA5);
    const wire::UpgradeData chunk = wire::UpgradeData::Of(0xFFC8, longImage);
    roundTrip("UpgradeData", chunk);
    EXPECT_EQ(chunk.count, wire::kMaxUpgradeChunk) << "a chunk takes what fits one report";
}

}  // namespace
}  // namespace varnoth
