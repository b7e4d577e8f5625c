// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/sim/VirtualAmp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "SimTestSupport.h"
#include "device/Opcodes.h"
#include "device/sim/SimFactory.h"
#include "device/sim/SimLevels.h"
#include "device/sim/SimTransport.h"

namespace varnoth {
namespace {

using test::Command;

class VirtualAmpTest : public ::testing::Test {
  protected:
    Report Ask(std::uint8_t opcode, std::initializer_list<int> args = {}) {
        return test::Exchange(link, Command(opcode, args));
    }
    std::vector<std::uint8_t> Channels(std::uint8_t block, std::uint8_t index) {
        const Report r = Ask(op::ReadRegisterArray, {block, index, 8});
        EXPECT_EQ(r[1], op::ReadRegisterArray);
        EXPECT_EQ(r[2], block);
        EXPECT_EQ(r[3], index);
        return {r.begin() + 4, r.begin() + 12};
    }
    static std::string Text(const Report& r) { return reinterpret_cast<const char*>(r.data() + 2); }

    std::shared_ptr<VirtualAmp> amp = std::make_shared<VirtualAmp>();
    SimTransport link{amp};
};

using Bytes = std::vector<std::uint8_t>;

TEST_F(VirtualAmpTest, ReportsModelNameAndFirmwareDateAsSet) {
    Report name = Ask(op::ReadDevName);
    EXPECT_EQ(name[1], op::ReadDevName);
    EXPECT_EQ(Text(name), "VQ317X");
    EXPECT_EQ(Text(Ask(op::ReadDevDate)), "2011-11-28");

    ASSERT_TRUE(amp->SetName("VQ580"));
    ASSERT_TRUE(amp->SetDate("2012-03-20"));
    EXPECT_EQ(Text(Ask(op::ReadDevName)), "VQ580");
    EXPECT_EQ(Text(Ask(op::ReadDevDate)), "2012-03-20");

    // The longest text that fits a reply with its zero byte; one more is refused and changes nothing.
    ASSERT_TRUE(amp->SetName(std::string(58, 'N')));
    name = Ask(op::ReadDevName);
    EXPECT_EQ(Text(name), std::string(58, 'N'));
    EXPECT_FALSE(amp->SetName(std::string(59, 'N')));
    EXPECT_FALSE(
        amp->SetDate(std::string("20\0"
                                 "11",
                                 5)));
    EXPECT_EQ(amp->Name(), std::string(58, 'N'));
    EXPECT_EQ(amp->Date(), "2012-03-20");
}

TEST_F(VirtualAmpTest, AcknowledgesEveryReportWithoutAReplyOfItsOwn) {
    struct Case {
        Report command;
        std::uint8_t status;
    };
    const Case cases[] = {
        {Command(op::WriteRegister, {10, 3, 2, 70}), VirtualAmp::kDone},
        {Command(op::SaveMode, {1}), VirtualAmp::kDone},
        {Command(op::LoadMode, {1}), VirtualAmp::kDone},
        {Command(op::ResetMode, {1}), VirtualAmp::kDone},
        {Command(op::SetMicControlSub, {1, 10, 20}), VirtualAmp::kDone},
        {Command(op::StudyKey, {4}), VirtualAmp::kDone},
        {Command(op::CancelStudying), VirtualAmp::kDone},
        {Command(op::ApplyIRSet), VirtualAmp::kDone},
        {Command(op::ApplyMachineSet), VirtualAmp::kDone},
        {Command(op::ResetMachine, {op::kResetMachineKey}), VirtualAmp::kDone},
        {Command(op::UnLockMachine), VirtualAmp::kDone},
        // Not carried out, still acknowledged.
        {Command(op::WriteRegister, {16, 0, 0, 1}), VirtualAmp::kIgnored},
        {Command(op::WriteRegister, {10, 64, 0, 1}), VirtualAmp::kIgnored},
        {Command(op::WriteRegister, {10, 0, 8, 1}), VirtualAmp::kIgnored},
        {Command(op::SaveMode, {4}), VirtualAmp::kIgnored},
        {Command(op::LoadMode, {255}), VirtualAmp::kIgnored},
        {Command(op::ResetMode, {4}), VirtualAmp::kIgnored},
        {Command(op::SetMicControlSub, {0, 10, 20}), VirtualAmp::kIgnored},
        {Command(op::StudyKey, {0}), VirtualAmp::kIgnored},
        {Command(op::StudyKey, {16}), VirtualAmp::kIgnored},
        {Command(op::ResetMachine, {0x55}), VirtualAmp::kIgnored},
        {Command(op::UpgradeBlock, {0, 0}), VirtualAmp::kIgnored},
        {Command(op::UpgradeData, {0, 0, 1, 7}), VirtualAmp::kIgnored},
        {Command(op::UpgradeExit, {0, 0, 1}), VirtualAmp::kIgnored},
        {Command(0x42), VirtualAmp::kIgnored},
    };
    for (const Case& c : cases) {
        const Report reply = test::Exchange(link, c.command);
        EXPECT_EQ(reply[0], VirtualAmp::kInputReportId);
        EXPECT_EQ(reply[1], VirtualAmp::kAck) << "opcode " << int{c.command[1]};
        EXPECT_EQ(reply[2], c.command[1]);
        EXPECT_EQ(reply[3], c.status) << "opcode " << int{c.command[1]} << " argument " << int{c.command[2]};
    }
    // The host routes these reply opcodes; an acknowledgement must be none of them.
    const std::uint8_t examined[] = {op::ReadCurEffectMode, op::ReadRegister, op::ReadRegisterArray,
                                     op::ReadMicControlSub, op::StudyKey,     op::ReadIRSet,
                                     op::ReadDevName,       op::ReadDevDate,  op::Machine_ReadAll};
    EXPECT_EQ(std::count(std::begin(examined), std::end(examined), VirtualAmp::kAck), 0);
}

TEST_F(VirtualAmpTest, FactoryRegistersAreFlatOnAndMidRange) {
    struct Case {
        std::uint8_t block, index;
        Bytes channels;
    };
    const Case cases[] = {
        {10, 0, {0x32, 0x32, 0x40, 0x40, 0x40, 0x40, 0, 0}},  // mode 0 microphone curve, other banks flat
        {10, 5, {0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0, 0}},
        {10, 32, {58, 58, 58, 58, 58, 58, 0, 0}},  // master volume 18 + 40
        {9, 0, {0x7F, 0x7F, 0x7F, 0x7F, 0, 0, 0, 0}},
        {9, 14, {0x40, 0x40, 0x40, 0x40, 0, 0, 0, 0}},
        {5, 0, {0, 0, 0, 0, 0, 0, 0, 0}},  // compressors off
        {8, 4, {64, 64, 64, 64, 0, 0, 0, 0}},
        {11, 4, {64, 0, 0, 0, 0, 0, 0, 0}},
        {3, 0, {6, 20, 0, 0, 0, 0, 0, 0}},  // small hall A, stereo echo
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Channels(c.block, c.index), c.channels)
            << "register " << int{c.block} << ", " << int{c.index};
    }
}

TEST_F(VirtualAmpTest, WrittenRegisterReadsBackOnItsChannelOnly) {
    Ask(op::WriteRegister, {10, 32, 0, 76});
    Ask(op::WriteRegister, {10, 32, 5, 40});
    EXPECT_EQ(Channels(10, 32), (Bytes{76, 58, 58, 58, 58, 40, 0, 0}));

    // The single read carries a register's channels too and echoes its address.
    const Report single = Ask(op::ReadRegister, {10, 32, 0});
    EXPECT_EQ(single[1], op::ReadRegister);
    EXPECT_EQ(single[2], 10);
    EXPECT_EQ(single[3], 32);
    EXPECT_EQ(Bytes(single.begin() + 4, single.begin() + 12), (Bytes{76, 58, 58, 58, 58, 40, 0, 0}));

    // An address that does not exist reads as zeros.
    EXPECT_EQ(Channels(200, 7), Bytes(8, 0));
}

// The amplifier's own volume keys and its remote: both channels of a stereo output, held at the machine
// settings' maximum; the remote walk steps the music volume to its maximum and back as reports come in.
TEST_F(VirtualAmpTest, VolumeKeysAndTheRemoteTurnTheMasterVolumesUpToTheirMaximum) {
    Ask(op::ApplyMachineSet, {1, 18, 18, 20, 3, 36, 36, 0, 0, 0x5A, 0x01});
    EXPECT_EQ(amp->TurnVolume(0, 30), 20) << "held at the mic maximum";
    EXPECT_EQ(amp->TurnVolume(2, 7), 7);
    EXPECT_EQ(amp->TurnVolume(4, 7), 0) << "no such output";
    EXPECT_EQ(Channels(10, 32), (Bytes{60, 60, 58, 58, 47, 58, 0, 0}));
    EXPECT_EQ(amp->Volume(0), 20);

    std::chrono::milliseconds now{0};
    amp->SetLevelClock([&now] { return now; });
    amp->TurnVolume(1, 1);
    amp->SetRemoteWalk(std::chrono::milliseconds(100));
    std::vector<int> walked;
    for (int step = 0; step < 6; ++step) {
        now += std::chrono::milliseconds(100);
        Ask(op::ReadRegister, {8, 0x30, 0});
        walked.push_back(amp->Volume(1));
    }
    EXPECT_EQ(walked, (std::vector<int>{2, 3, 2, 1, 0, 1})) << "up to the music maximum 3 and back";
    amp->SetRemoteWalk(std::chrono::milliseconds(0));
    now += std::chrono::milliseconds(1000);
    Ask(op::ReadRegister, {8, 0x30, 0});
    EXPECT_EQ(amp->Volume(1), 1) << "nobody at the remote";
}

TEST_F(VirtualAmpTest, LevelReadCarriesTheFourLevelsAtBytes15To18) {
    amp->SetLevelSeed(7);
    amp->SetLevelClock([] { return std::chrono::milliseconds(1234); });
    const Report r = Ask(op::ReadRegister, {8, 0x30, 0});
    EXPECT_EQ(r[1], op::ReadRegister);
    EXPECT_EQ(r[2], 8);
    EXPECT_EQ(r[3], 0x30);
    const auto expected = SimLevels::At(7, std::chrono::milliseconds(1234));
    EXPECT_EQ(Bytes(r.begin() + 15, r.begin() + 19), Bytes(expected.begin(), expected.end()));
}

TEST_F(VirtualAmpTest, MemoryModesSaveLoadAndReset) {
    EXPECT_EQ(Ask(op::ReadCurEffectMode)[2], 0);
    Ask(op::WriteRegister, {8, 4, 0, 11});
    Ask(op::SaveMode, {2});
    EXPECT_EQ(Ask(op::ReadCurEffectMode)[2], 2);
    const RegisterBank saved = amp->WorkingSet();
    EXPECT_EQ(amp->StoredSet(2), saved);

    Ask(op::WriteRegister, {8, 4, 0, 99});
    Ask(op::LoadMode, {1});
    EXPECT_EQ(Ask(op::ReadCurEffectMode)[2], 1);
    EXPECT_EQ(amp->WorkingSet(), amp->ResetSet(1));
    EXPECT_EQ(Channels(3, 0)[0], 4) << "mode 1 comes with room A on effect 1";

    Ask(op::LoadMode, {2});
    EXPECT_EQ(Channels(8, 4)[0], 11) << "the stored set of mode 2 is the one saved, not the later edit";

    Ask(op::ResetMode, {2});
    EXPECT_EQ(Ask(op::ReadCurEffectMode)[2], 2);
    EXPECT_EQ(amp->WorkingSet(), amp->ResetSet(2));
    EXPECT_EQ(amp->StoredSet(2), amp->ResetSet(2)) << "a reset mode is stored as reset";
    Ask(op::LoadMode, {0});
    Ask(op::LoadMode, {2});
    EXPECT_EQ(Channels(8, 4)[0], 64);

    // A mode that does not exist changes nothing.
    Ask(op::LoadMode, {4});
    EXPECT_EQ(Ask(op::ReadCurEffectMode)[2], 2);
}

TEST_F(VirtualAmpTest, EffectPresetRewritesThatEffectsEightParameters) {
    const Bytes effect1Before = [&] {
        Bytes values;
        for (std::uint8_t index = 1; index <= 8; ++index) {
            values.push_back(Channels(3, index)[0]);
        }
        return values;
    }();
    Ask(op::WriteRegister, {3, 0, 1, 14});
    const auto& cathedral = sim::EffectPresetParams(14);
    for (std::uint8_t index = 1; index <= 8; ++index) {
        const Bytes values = Channels(3, index);
        EXPECT_EQ(values[1], cathedral[index - 1]) << "effect 2, parameter " << int{index};
        EXPECT_EQ(values[0], effect1Before[index - 1]) << "effect 1 must keep parameter " << int{index};
    }
    EXPECT_EQ(Channels(3, 0)[1], 14);

    // A preset number beyond the list is stored but loads nothing.
    Ask(op::WriteRegister, {3, 0, 1, 28});
    EXPECT_EQ(Channels(3, 0)[1], 28);
    EXPECT_EQ(Channels(3, 5)[1], cathedral[4]);
}

TEST_F(VirtualAmpTest, MicControlSubAndRecordsRoundTrip) {
    Ask(op::SetMicControlSub, {1, 10, 20});
    const Report sub = Ask(op::ReadMicControlSub);
    EXPECT_EQ(sub[1], op::ReadMicControlSub);
    EXPECT_EQ(sub[3], 10);
    EXPECT_EQ(sub[4], 20);

    const Bytes machine{1, 20, 0xFF, 30, 30, 30, 30, 1, 0x21, 0x12, 0x34};
    Report apply = Command(op::ApplyMachineSet);
    std::copy(machine.begin(), machine.end(), apply.begin() + 2);
    test::Exchange(link, apply);
    const Report machineReply = Ask(op::Machine_ReadAll);
    EXPECT_EQ(machineReply[1], op::Machine_ReadAll);
    EXPECT_EQ(Bytes(machineReply.begin() + 2, machineReply.begin() + 13), machine);

    Bytes ir(16);
    for (std::size_t i = 0; i < ir.size(); ++i) {
        ir[i] = static_cast<std::uint8_t>(0xC0 + i);
    }
    Report applyIr = Command(op::ApplyIRSet);
    std::copy(ir.begin(), ir.end(), applyIr.begin() + 2);
    test::Exchange(link, applyIr);
    const Report irReply = Ask(op::ReadIRSet);
    EXPECT_EQ(irReply[1], op::ReadIRSet);
    EXPECT_EQ(Bytes(irReply.begin() + 2, irReply.begin() + 18), ir);
}

TEST_F(VirtualAmpTest, LearnsTheNextRemoteKeyAfterStudyKeyUntilCancelled) {
    EXPECT_FALSE(amp->PressRemoteKey(0x20, 0x1C)) << "a press while not learning is not reported";
    EXPECT_FALSE(link.ReadOne(std::chrono::milliseconds(0)).has_value());

    Ask(op::StudyKey, {2});
    EXPECT_EQ(amp->StudyingKey(), 2);
    ASSERT_TRUE(amp->PressRemoteKey(0x20, 0x1C));
    const auto learnt = link.ReadOne(std::chrono::seconds(10));
    ASSERT_TRUE(learnt.has_value());
    EXPECT_EQ((*learnt)[1], VirtualAmp::kStudiedKey);
    EXPECT_EQ((*learnt)[2], 0x20);
    EXPECT_EQ((*learnt)[3], 2);
    EXPECT_EQ((*learnt)[4], 0x1C);
    EXPECT_EQ(amp->Ir()[0], 0x20);
    EXPECT_EQ(amp->Ir()[2], 0x1C);
    EXPECT_EQ(amp->StudyingKey(), 0) << "learning ends with the learnt key";

    Ask(op::StudyKey, {3});
    Ask(op::CancelStudying);
    EXPECT_FALSE(amp->PressRemoteKey(0x20, 0x55));
    EXPECT_FALSE(link.ReadOne(std::chrono::milliseconds(0)).has_value());
    EXPECT_EQ(amp->Ir()[3], sim::FactoryIrRecord()[3]);
}

TEST_F(VirtualAmpTest, ResetMachineRestoresFactoryButKeepsIdentity) {
    amp->SetName("VQ580");
    Ask(op::WriteRegister, {9, 4, 2, 1});
    Ask(op::SaveMode, {3});
    Ask(op::SetMicControlSub, {1, 99, 99});
    Ask(op::ApplyMachineSet);
    Ask(op::ResetMachine, {op::kResetMachineKey});

    VirtualAmpState expected = VirtualAmpState::Factory();
    expected.name = "VQ580";
    EXPECT_EQ(amp->State(), expected);
}

TEST_F(VirtualAmpTest, FarewellEndsPcControlUntilTheNextCommand) {
    Ask(op::ReadDevName);
    EXPECT_TRUE(amp->PcControl().underPcControl);
    Ask(op::StudyKey, {5});
    Ask(op::UnLockMachine);
    const VirtualAmp::Control control = amp->PcControl();
    EXPECT_FALSE(control.underPcControl);
    EXPECT_EQ(control.farewells, 1u);
    EXPECT_EQ(control.lastFarewell, op::UnLockMachine);
    EXPECT_EQ(amp->StudyingKey(), 0) << "the farewell ends learning too";
    Ask(op::ReadDevDate);
    EXPECT_TRUE(amp->PcControl().underPcControl);
}

}  // namespace
}  // namespace varnoth
