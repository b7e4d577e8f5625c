// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <memory>

#include "device/sim/SimProvider.h"
#include "session/DeviceSession.h"
#include "session/RegisterMap.h"

namespace varnoth {
namespace {

// Store positions that never travel: the compressor preset numbers and the reserved bytes.
bool Travels(std::size_t position) {
    return position != pos::Compress_Mic + pos::CompressPreset &&
           position != pos::Compress_Music + pos::CompressPreset &&
           (position < pos::Reserved || position >= pos::Reserved + pos::kReservedBytes);
}

LinkTiming QuickStart() {
    LinkTiming timing;
    timing.syncStartDelay = std::chrono::milliseconds(1);
    return timing;
}

TEST(SimRoundTrip, EveryParameterWrittenByOneSessionIsReadBackByAnother) {
    auto provider = std::make_shared<SimProvider>();
    const std::shared_ptr<VirtualAmp>& amp = provider->Amp();

    // The writer first takes the records and the mic-controls-sub setting from a device that holds
    // recognisable ones, then the device forgets them.
    VirtualAmpState state = amp->State();
    for (std::size_t i = 0; i < state.ir.size(); ++i) {
        state.ir[i] = static_cast<std::uint8_t>(0x30 + i);
    }
    state.machine = {1, 20, 0xFF, 30, 31, 32, 33, 1, 0x21, 0x12, 0x34};
    state.micControlSubTime = 10;
    state.micControlSubRate = 20;
    ASSERT_TRUE(amp->SetState(state));

    DeviceSession writer(provider, QuickStart());
    ASSERT_EQ(writer.Connect(nullptr), 1);
    writer.ReadAll();
    amp->ResetMachine();
    ASSERT_NE(amp->Ir(), state.ir);

    std::array<std::uint8_t, kFileBlockSize> block{};
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<std::uint8_t>((i * 7 + 3) & 0x7F);
    }
    block[pos::PEQ_Mic + pos::PEQOn] = 0x7F;
    block[pos::PEQ_Music + pos::PEQOn] = 0;
    block[pos::SubPhase180] = 1;
    block[pos::Effect1 + pos::EffectPreset] = 5;
    block[pos::Effect2 + pos::EffectPreset] = 6;
    writer.Store().SetFileBlock(block);
    // Neither the routing to the main outputs nor the master volumes are part of a write-all.
    writer.Store().SetValue(pos::ChToMainL_Mic, block[pos::ChToMainL_Mic]);
    writer.Store().SetValue(pos::ChToMainR_Mic, block[pos::ChToMainR_Mic]);
    writer.Store().SetValue(pos::ChToMainL_Music, block[pos::ChToMainL_Music]);
    writer.Store().SetValue(pos::ChToMainR_Music, block[pos::ChToMainR_Music]);
    writer.Store().SetValue(pos::MicVol, 20);
    writer.Store().SetValue(pos::MusicVol, 21);
    writer.Store().SetValue(pos::CenterVol, 22);
    writer.Store().SetValue(pos::SubVol, 36);
    writer.GetMachineSet().Set(MachineField::MaxMicVol, 25);
    writer.WriteAll();
    writer.Disconnect(true);

    DeviceSession reader(provider, QuickStart());
    ASSERT_EQ(reader.Connect(nullptr), 1);
    reader.ReadAll();
    // The next command waits until the reply to the last request has been stored.
    reader.Store().ReadInputLevel();

    const auto readBack = reader.Store().GetFileBlock();
    for (std::size_t i = 0; i < kFileBlockSize; ++i) {
        if (Travels(i)) {
            EXPECT_EQ(readBack[i], block[i]) << "store position " << i;
        }
    }
    EXPECT_EQ(reader.Store().Value(pos::MicVol), 20);
    EXPECT_EQ(reader.Store().Value(pos::MusicVol), 21);
    EXPECT_EQ(reader.Store().Value(pos::CenterVol), 22);
    EXPECT_EQ(reader.Store().Value(pos::SubVol), 36);
    EXPECT_EQ(reader.GetMicControlSubTime(), 10);
    EXPECT_EQ(reader.GetMicControlSubRate(), 20);
    const MachineSettings::Record machine{1, 20, 0xFF, 25, 31, 32, 33, 1, 0x21, 0x12, 0x34};
    EXPECT_EQ(reader.GetMachineSet().GetSavedRecord(), machine);
    EXPECT_EQ(reader.GetRemote().GetRecord(), state.ir);
    EXPECT_EQ(reader.GetDevName(), "VQ317X");
    EXPECT_EQ(reader.GetDevDate(), "2011-11-28");
    reader.Disconnect(true);
    EXPECT_EQ(amp->PcControl().lastFarewell, 0x8a);
}

}  // namespace
}  // namespace varnoth
