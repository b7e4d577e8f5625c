// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <vector>

#include "SessionHarness.h"
#include "ui/dialogs/MachineSettingsForm.h"
#include "ui/dialogs/RemoteKeys.h"

namespace varnoth {
namespace {

using test::MakeReport;
using test::SessionHarness;
using test::Write;

constexpr int kChinese = 0;
constexpr int kEnglish = 1;

const MachineSettingsForm::SliderRow& RowOfSlider(int sliderId) {
    for (const MachineSettingsForm::SliderRow& row : MachineSettingsForm::SliderRows()) {
        if (row.sliderId == sliderId) {
            return row;
        }
    }
    throw std::out_of_range("no slider row");
}

const MachineSettingsForm::LockBox& LockBoxOf(int id) {
    for (const MachineSettingsForm::LockBox& box : MachineSettingsForm::LockBoxes()) {
        if (box.id == id) {
            return box;
        }
    }
    throw std::out_of_range("no lock box");
}

class MachineSetFormTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(h.Connect()); }

    // The device's machine record arrives, as after a synchronisation.
    void DeviceRecord(std::initializer_list<int> record) {
        std::vector<int> bytes{0, 0x92};
        bytes.insert(bytes.end(), record);
        Report reply{};
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            reply[i] = static_cast<std::uint8_t>(bytes[i]);
        }
        ASSERT_TRUE(h.Reply(reply));
        h.wire->ClearSent();
    }

    MachineSettings::Record Working() const { return h.session->GetMachineSet().GetWorkingRecord(); }

    SessionHarness h;
    MachineSettingsForm form{*h.session};
};

TEST_F(MachineSetFormTest, EachLockBoxSetsOrClearsItsOwnBitOfTheWorkingCopy) {
    const std::vector<std::pair<int, int>> masks{{1084, 0x01}, {1085, 0x02}, {1086, 0x04},
                                                 {1087, 0x08}, {1088, 0x10}, {1089, 0x20}};
    for (const auto& [id, mask] : masks) {
        DeviceRecord({0, 0, 0, 0, 0, 0, 0, 1, 0});
        form.LockBoxToggled(LockBoxOf(id), true);
        EXPECT_EQ(Working()[8], mask) << "box " << id << " checked on a zero lock byte";
        DeviceRecord({0, 0, 0, 0, 0, 0, 0, 1, 0x3F});
        form.LockBoxToggled(LockBoxOf(id), false);
        EXPECT_EQ(Working()[8], 0x3F & ~mask) << "box " << id << " cleared on 0x3F";
    }
    EXPECT_TRUE(h.wire->Sent().empty()) << "lock edits are sent by APPLY only";
}

TEST_F(MachineSetFormTest, ClearingLockOnKeepsTheLockBitsAndApplySendsElevenWorkingBytes) {
    DeviceRecord({1, 20, 0xFF, 30, 30, 30, 30, 1, 0x21, 0x12, 0x34});
    form.LockOnToggled(false);
    form.VolModeChosen(false);
    form.SliderMoved(RowOfSlider(2023), 12, kChinese);

    const FeatureNotice saved = form.Apply(kChinese);
    EXPECT_EQ(saved.text, "保存设置成功!");
    EXPECT_FALSE(saved.asksToAct) << "a notice that only tells closes by itself";
    const MachineSettings::Record expected{0, 20, 0xFF, 30, 30, 30, 12, 0, 0x21, 0x12, 0x34};
    EXPECT_EQ(h.wire->Sent(),
              std::vector<Report>{MakeReport({2, 0x91, 0, 20, 0xFF, 30, 30, 30, 12, 0, 0x21, 0x12, 0x34})});
    EXPECT_EQ(h.session->GetMachineSet().GetSavedRecord(), expected);
}

TEST_F(MachineSetFormTest, PowerOnRowShowsAnOffVolumeAsInvalidAndTheOnBoxTakesTheLiveVolume) {
    DeviceRecord({1, 0xFF, 7, 30, 30, 30, 30, 0, 0});
    const MachineSettingsForm::SliderRow& mic = RowOfSlider(2018);
    MachineSettingsForm::RowView view = form.SavedRow(mic, kChinese);
    EXPECT_FALSE(view.on);
    EXPECT_EQ(view.valueText, "无效");
    EXPECT_EQ(form.SavedRow(mic, kEnglish).valueText, "Invalid");
    view = form.SavedRow(RowOfSlider(2019), kEnglish);
    EXPECT_TRUE(view.on);
    EXPECT_EQ(view.position, 7);
    EXPECT_EQ(view.valueText, "7");

    h.session->Store().SetValue(pos::MicVol, 25);
    h.wire->ClearSent();
    view = form.OnBoxToggled(mic, true, kChinese);
    EXPECT_TRUE(view.on);
    EXPECT_EQ(view.position, 25);
    EXPECT_EQ(view.valueText, "25");
    EXPECT_EQ(Working()[1], 25);
    EXPECT_TRUE(h.wire->Sent().empty()) << "checking ON plays nothing; the volume is already live";

    view = form.OnBoxToggled(mic, false, kEnglish);
    EXPECT_FALSE(view.on);
    EXPECT_FALSE(view.position.has_value()) << "the slider stays where it is";
    EXPECT_EQ(view.valueText, "Invalid");
    EXPECT_EQ(Working()[1], 0xFF);
}

TEST_F(MachineSetFormTest, PowerOnSliderPlaysTheVolumeLiveWhileMaximumSlidersSendNothing) {
    form.SliderMoved(RowOfSlider(2018), 20, kChinese);
    EXPECT_EQ(Working()[1], 20);
    EXPECT_EQ(h.session->Store().Value(pos::MicVol), 20);
    const std::vector<Write> writes = h.Writes();
    ASSERT_FALSE(writes.empty()) << "the mic volume goes to the device before APPLY";
    EXPECT_EQ(writes.front().value, 20 + 40) << "master volumes travel raised by 40";

    h.wire->ClearSent();
    form.SliderMoved(RowOfSlider(2019), 9, kChinese);
    EXPECT_EQ(h.session->Store().Value(pos::MusicVol), 9);
    h.wire->ClearSent();
    for (const int slider : {2020, 2021, 2022, 2023}) {
        form.SliderMoved(RowOfSlider(slider), 33, kChinese);
    }
    EXPECT_TRUE(h.wire->Sent().empty());
    EXPECT_EQ(Working(), (MachineSettings::Record{0, 20, 9, 33, 33, 33, 33, 0, 0, 0, 0}));
}

TEST_F(MachineSetFormTest, ApplyThatReachesNoDeviceSaysSoInsteadOfSaved) {
    form.SliderMoved(RowOfSlider(2020), 20, kChinese);
    h.wire->SetTransferResult(0);
    const FeatureNotice notReceived = form.Apply(kChinese);
    EXPECT_EQ(notReceived.text, "设备没有收到，请检查连接后重试!") << "the report could not be sent";
    EXPECT_TRUE(notReceived.asksToAct) << "it asks the user to try again";
    EXPECT_EQ(h.session->GetMachineSet().Saved(MachineField::MaxMicVol), 0)
        << "the saved copy keeps what the device holds";

    h.wire->SetTransferResult(static_cast<int>(kReportSize));
    h.session->Disconnect(false);
    h.wire->ClearSent();
    form.SliderMoved(RowOfSlider(2021), 21, kChinese);
    EXPECT_EQ(form.Apply(kEnglish).text, "Please connect the device first!");
    EXPECT_TRUE(h.wire->Sent().empty());
    EXPECT_EQ(h.session->GetMachineSet().Saved(MachineField::MaxMusicVol), 0)
        << "the saved copy still mirrors the device";
    EXPECT_EQ(Working()[4], 21) << "the edit waits for the next APPLY";
}

TEST(RemoteKeys, KeyAreaTellsItsIndexAndPromptInBothLanguages) {
    const RemoteKey* key = FindRemoteKey(1600);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->index, 2);
    EXPECT_EQ(KeyPrompt(*key, kChinese), "您正在学习的键：载入模式二");
    EXPECT_EQ(KeyPrompt(*key, kEnglish), "you are studying key is Load Mode key 2");
    EXPECT_EQ(KeyPrompt(*FindRemoteKey(1611), kEnglish), "you are studying key is alert music source ");
    EXPECT_EQ(FindRemoteKey(1586), nullptr);
    EXPECT_EQ(FindRemoteKey(1614), nullptr);
}

TEST(RemoteKeys, EveryKeyHasItsOwnIndexAndAnAreaInsideThePicture) {
    std::set<int> indices;
    for (const RemoteKey& key : kRemoteKeys) {
        EXPECT_TRUE(IsKeyAreaId(key.id)) << key.id << " shows the hand";
        indices.insert(key.index);
        const DialogRect area = KeyAreaPixels(key);
        EXPECT_GE(area.x, 0);
        EXPECT_GE(area.y, 0);
        EXPECT_LE(area.x + area.width, 212) << key.id;
        EXPECT_LE(area.y + area.height, 480) << key.id;
    }
    EXPECT_EQ(indices, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    const DialogRect m1 = KeyAreaPixels(*FindRemoteKey(1587));
    EXPECT_EQ(m1.x, 18);
    EXPECT_EQ(m1.y, 302);
    EXPECT_EQ(m1.width, 30);
    EXPECT_EQ(m1.height, 24);
}

TEST(RemoteKeys, LearntCodeIsTwoUpperCaseHexDigits) {
    EXPECT_EQ(KeyCodeText(0x1C), "1C");
    EXPECT_EQ(KeyCodeText(0x0A), "0A");
    EXPECT_EQ(KeyCodeText(0x00), "00");
    EXPECT_EQ(KeyCodeText(0xFF), "FF");
}

TEST(RemoteKeys, ApplySaysWhetherTheRecordReachedTheDevice) {
    SessionHarness h;
    EXPECT_EQ(ApplyRemoteKeys(*h.session, kEnglish).text, "Please connect the device first!");
    ASSERT_TRUE(h.Connect());
    EXPECT_EQ(ApplyRemoteKeys(*h.session, kChinese).text, "遥控器键码保存成功!");
    EXPECT_EQ(h.wire->Sent(), std::vector<Report>{MakeReport({2, 0x63})});
    h.wire->SetTransferResult(0);
    EXPECT_EQ(ApplyRemoteKeys(*h.session, kChinese).text, "设备没有收到，请检查连接后重试!");
}

}  // namespace
}  // namespace varnoth
