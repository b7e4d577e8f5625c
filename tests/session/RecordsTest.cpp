// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <vector>

#include "SessionHarness.h"
#include "session/MachineSettings.h"
#include "session/RemoteCodes.h"

namespace varnoth {
namespace {

using test::MakeReport;

class RecordsTest : public test::ConnectedSessionTest {
  protected:
    MachineSettings& machine = h.session->GetMachineSet();
    RemoteCodes& remote = h.session->GetRemote();
};

TEST_F(RecordsTest, LockSettersChangeOnlyTheirBitOfTheWorkingCopy) {
    machine.Set(MachineField::Lock_MicMenu, 1);
    EXPECT_EQ(machine.GetWorkingRecord()[8], 0x04);
    EXPECT_EQ(machine.Saved(MachineField::Lock_MicMenu), 0) << "getters read the saved copy";

    Reply(MakeReport({0, 0x92, 0, 0, 0, 0, 0, 0, 0, 1, 0x3F}));
    machine.Set(MachineField::Lock_SaveMode, 0);
    EXPECT_EQ(machine.GetWorkingRecord()[8], 0x1F);
    machine.ApplyMachineSet();
    const std::vector<int> locks{
        machine.Saved(MachineField::Lock_MicVol),   machine.Saved(MachineField::Lock_MusicVol),
        machine.Saved(MachineField::Lock_MicMenu),  machine.Saved(MachineField::Lock_MusicMenu),
        machine.Saved(MachineField::Lock_LoadMode), machine.Saved(MachineField::Lock_SaveMode)};
    EXPECT_EQ(locks, (std::vector<int>{1, 1, 1, 1, 1, 0}));
    EXPECT_EQ(machine.Saved(MachineField::EnableLockFunc), 1);
}

// Each row of the field table edits its own bits and nothing else, and reads back through the saved copy once
// applied: a row with a wrong byte or mask shows here by name.
TEST_F(RecordsTest, EveryMachineFieldSetsOnlyItsOwnBitsAndReadsThemBack) {
    for (const MachineFieldRow& row : MachineFieldTable()) {
        Reply(MakeReport({0, 0x92}));
        machine.Set(row.field, row.max);
        MachineSettings::Record expected{};
        expected[row.byte] = static_cast<std::uint8_t>(row.WholeByte() ? row.max : row.mask);
        EXPECT_EQ(machine.GetWorkingRecord(), expected) << row.name << " edits other bytes or bits";
        EXPECT_EQ(machine.Saved(row.field), 0) << row.name << " reads the working copy";
        machine.ApplyMachineSet();
        EXPECT_EQ(machine.Saved(row.field), row.max) << row.name;
        machine.Set(row.field, row.min);
        EXPECT_EQ(machine.GetWorkingRecord(), MachineSettings::Record{})
            << row.name << " does not clear its bits";
    }
}

TEST_F(RecordsTest, ApplyMachineSetSendsTheWorkingCopyWithTheDevicesReservedBytes) {
    Reply(MakeReport({0, 0x92, 9, 9, 9, 9, 9, 9, 9, 9, 9, 0x12, 0x34}));
    machine.Set(MachineField::VolMode, 1);
    machine.Set(MachineField::PowerMicVol, 20);
    machine.Set(MachineField::PowerMusicVol, 0xFF);
    machine.Set(MachineField::MaxMicVol, 30);
    machine.Set(MachineField::MaxMusicVol, 30);
    machine.Set(MachineField::MaxCenterVol, 30);
    machine.Set(MachineField::MaxSubVol, 30);
    machine.Set(MachineField::EnableLockFunc, 0x101);
    machine.Set(MachineField::Lock_MusicMenu, 0);  // the device's 0x09 becomes 0x01
    machine.Set(MachineField::Lock_SaveMode, 1);
    EXPECT_EQ(machine.Saved(MachineField::PowerMusicVol), 9) << "an edit reached the saved copy before APPLY";

    h.wire->ClearSent();
    machine.ApplyMachineSet();
    const MachineSettings::Record expected{1, 20, 0xFF, 30, 30, 30, 30, 1, 0x21, 0x12, 0x34};
    EXPECT_EQ(h.wire->Sent(),
              std::vector<Report>{MakeReport({2, 0x91, 1, 20, 0xFF, 30, 30, 30, 30, 1, 0x21, 0x12, 0x34})});
    EXPECT_EQ(machine.GetSavedRecord(), expected);
    EXPECT_EQ(machine.Saved(MachineField::PowerMusicVol), 0xFF);
}

TEST_F(RecordsTest, CancelSetAndADeviceReplyDiscardTheEdits) {
    Reply(MakeReport({0, 0x92, 1, 2, 3, 4, 5, 6, 7, 0, 0, 0, 0}));
    machine.Set(MachineField::MaxMicVol, 36);
    machine.CancelSet();
    EXPECT_EQ(machine.GetWorkingRecord(), machine.GetSavedRecord());
    EXPECT_EQ(machine.GetWorkingRecord()[3], 4);

    machine.Set(MachineField::MaxMicVol, 36);
    Reply(MakeReport({0, 0x92, 0, 0, 0, 11}));
    EXPECT_EQ(machine.GetWorkingRecord()[3], 11);
    EXPECT_EQ(machine.Saved(MachineField::MaxMicVol), 11);

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
