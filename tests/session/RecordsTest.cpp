// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <vector>

#include "SessionHarness.h"
#include "session/MachineSettings.h"
#include "session/RemoteCodes.h"

namespace varnoth {
namespace {

using test::MakeReport;
using test::SessionHarness;

class RecordsTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(h.Connect()); }

    void Reply(const Report& report) {
        h.wire->Inject(report);
        ASSERT_TRUE(h.wire->WaitUntilIdle());
    }

    SessionHarness h;
    MachineSettings& machine = h.session->GetMachineSet();
    RemoteCodes& remote = h.session->GetRemote();
};

TEST_F(RecordsTest, LockSettersChangeOnlyTheirBitOfTheWorkingCopy) {
    machine.Lock_MicMenu(1);
    EXPECT_EQ(machine.GetWorkingRecord()[8], 0x04);
    EXPECT_EQ(machine.Get_Lock_MicMenu(), 0) << "getters read the saved copy";

    Reply(MakeReport({0, 0x92, 0, 0, 0, 0, 0, 0, 0, 1, 0x3F}));
    machine.Lock_SaveMode(0);
    EXPECT_EQ(machine.GetWorkingRecord()[8], 0x1F);
    machine.ApplyMachineSet();
    const std::vector<int> locks{machine.Get_Lock_MicVol(),   machine.Get_Lock_MusicVol(),
                                 machine.Get_Lock_MicMenu(),  machine.Get_Lock_MusicMenu(),
                                 machine.Get_Lock_LoadMode(), machine.Get_Lock_SaveMode()};
    EXPECT_EQ(locks, (std::vector<int>{1, 1, 1, 1, 1, 0}));
    EXPECT_EQ(machine.Get_EnableLockFunc(), 1);
}

TEST_F(RecordsTest, ApplyMachineSetSendsTheWorkingCopyWithTheDevicesReservedBytes) {
    Reply(MakeReport({0, 0x92, 9, 9, 9, 9, 9, 9, 9, 9, 9, 0x12, 0x34}));
    machine.SetVolMode(1);
    machine.SetPowerMicVol(20);
    machine.SetPowerMusicVol(0xFF);
    machine.SetMaxMicVol(30);
    machine.SetMaxMusicVol(30);
    machine.SetMaxCenterVol(30);
    machine.SetMaxSubVol(30);
    machine.EnableLockFunc(0x101);
    machine.Lock_MusicMenu(0);  // the device's 0x09 becomes 0x01
    machine.Lock_SaveMode(1);
    EXPECT_EQ(machine.GetPowerMusicVol(), 9) << "an edit reached the saved copy before APPLY";

    h.wire->ClearSent();
    machine.ApplyMachineSet();
    const MachineSettings::Record expected{1, 20, 0xFF, 30, 30, 30, 30, 1, 0x21, 0x12, 0x34};
    EXPECT_EQ(h.wire->Sent(),
              std::vector<Report>{MakeReport({2, 0x91, 1, 20, 0xFF, 30, 30, 30, 30, 1, 0x21, 0x12, 0x34})});
    EXPECT_EQ(machine.GetSavedRecord(), expected);
    EXPECT_EQ(machine.GetPowerMusicVol(), 0xFF);
}

TEST_F(RecordsTest, CancelSetAndADeviceReplyDiscardTheEdits) {
    Reply(MakeReport({0, 0x92, 1, 2, 3, 4, 5, 6, 7, 0, 0, 0, 0}));
    machine.SetMaxMicVol(36);
    machine.CancelSet();
    EXPECT_EQ(machine.GetWorkingRecord(), machine.GetSavedRecord());
    EXPECT_EQ(machine.GetWorkingRecord()[3], 4);

    machine.SetMaxMicVol(36);
    Reply(MakeReport({0, 0x92, 0, 0, 0, 11}));
    EXPECT_EQ(machine.GetWorkingRecord()[3], 11);
    EXPECT_EQ(machine.GetMaxMicVol(), 11);

    h.wire->ClearSent();
    machine.Machine_ReadAll();
    EXPECT_EQ(h.wire->Sent(), std::vector<Report>{MakeReport({2, 0x92})});
}

TEST_F(RecordsTest, RemoteCommandsCarryTheirArgumentsAndTheRecord) {
    remote.ApplyIRSet();
    remote.StudyKey(2);
    remote.StudyKey(0x10F);
    remote.CancelStudying();
    remote.ReadIRSet();
    const std::vector<Report> expected{MakeReport({2, 0x63}), MakeReport({2, 0x60, 2}),
                                       MakeReport({2, 0x60, 0x0F}), MakeReport({2, 0x61}),
                                       MakeReport({2, 0x62})};
    EXPECT_EQ(h.wire->Sent(), expected);

    Reply(MakeReport({0, 0x62, 0x20, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 99}));
    h.wire->ClearSent();
    remote.ApplyIRSet();
    EXPECT_EQ(
        h.wire->Sent(),
        std::vector<Report>{MakeReport({2, 0x63, 0x20, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15})});
}

}  // namespace
}  // namespace varnoth
