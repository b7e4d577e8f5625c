// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "session/MachineSettings.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/FeatureTexts.h"
#include "ui/dialogs/MachineSettingsDialog.h"

namespace varnoth::test {
namespace {

class SettingsDialogTest : public ::testing::Test {
  protected:
    // The device holds this machine record and the session has read it.
    void DeviceHolds(const sim::MachineRecord& record) {
        VirtualAmpState state = rig.amp->State();
        state.machine = record;
        ASSERT_TRUE(rig.amp->SetState(state));
        ASSERT_TRUE(rig.Connect());
        rig.session.GetMachineSet().Machine_ReadAll();
        ASSERT_TRUE(WaitFor([&] { return rig.session.GetMachineSet().GetSavedRecord() == record; }));
    }

    // A dialog as the main window makes it: it deletes itself when closed.
    MachineSettingsDialog* Open() {
        dialog = new MachineSettingsDialog(rig.session, rig.host);
        dialog->show();
        return dialog;
    }

    void TearDown() override { delete dialog.data(); }

    template <class Widget = QWidget>
    Widget* Control(int id) {
        auto* control = FindControl<Widget>(*dialog, id);
        EXPECT_NE(control, nullptr) << "control " << id;
        return control;
    }

    QString Text(int id) { return Control<QLabel>(id)->text(); }

    SimRig rig;
    QPointer<MachineSettingsDialog> dialog;
};

TEST_F(SettingsDialogTest, OpensFromTheSavedCopyWithAnOffPowerOnVolumeDisabledAsInvalid) {
    DeviceHolds({1, 0xFF, 7, 30, 31, 32, 33, 1, 0x21, 0x12, 0x34});
    for (const int language : {kChinese, kEnglish}) {
        SCOPED_TRACE(language);
        rig.Speak(language);
        Open();
        EXPECT_FALSE(Control<QSlider>(2018)->isEnabled());
        EXPECT_EQ(Text(2000), language == kChinese ? "无效" : "Invalid");
        EXPECT_FALSE(Control<QCheckBox>(1098)->isChecked());
        EXPECT_TRUE(Control<QSlider>(2019)->isEnabled());
        EXPECT_EQ(Control<QSlider>(2019)->value(), 7);
        EXPECT_EQ(Text(2001), "7");
        EXPECT_TRUE(Control<QCheckBox>(1099)->isChecked());
        EXPECT_EQ(Control<QSlider>(2023)->value(), 33);
        EXPECT_EQ(Control<QSlider>(2023)->maximum(), 36);
        EXPECT_EQ(Text(2005), "33");
        EXPECT_TRUE(Control<QCheckBox>(1083)->isChecked());
        EXPECT_TRUE(Control<QCheckBox>(1084)->isChecked());
        EXPECT_FALSE(Control<QCheckBox>(1085)->isChecked());
        EXPECT_TRUE(Control<QCheckBox>(1089)->isChecked());
        EXPECT_TRUE(Control<QCheckBox>(1089)->isEnabled());
        EXPECT_TRUE(Control<QRadioButton>(1100)->isChecked());
        EXPECT_EQ(Control<QPushButton>(1097)->text(), language == kChinese ? "保存设置" : "APPLY");
        EXPECT_EQ(Control<QRadioButton>(1101)->text(),
                  language == kChinese ? "音量随机保存" : "VOL BY RANDOM");
        EXPECT_EQ(Control(1090)->toolTip(),
                  QString::fromUtf8(language == kChinese
                                        ? "当话筒开机音量设置为开时，机器通电后话筒音量为设置的值"
                                        : "When the mic power-on volume is on, the mic volume "
                                          "starts at this value when the amplifier is switched on"));
        delete dialog.data();
    }
    EXPECT_EQ(rig.session.GetMachineSet().GetWorkingRecord(), rig.session.GetMachineSet().GetSavedRecord());
}

TEST_F(SettingsDialogTest, ClearingLockOnKeepsTheLockBoxesAndApplySendsTheElevenWorkingBytes) {
    DeviceHolds({1, 20, 0xFF, 30, 30, 30, 30, 1, 0x3F, 0x12, 0x34});
    Open();
    Control<QCheckBox>(1089)->click();
    Control<QCheckBox>(1083)->click();
    for (const int id : {1084, 1085, 1086, 1087, 1088, 1089}) {
        EXPECT_FALSE(Control<QCheckBox>(id)->isEnabled()) << id;
        EXPECT_EQ(Control<QCheckBox>(id)->isChecked(), id != 1089) << id;
    }
    Control<QRadioButton>(1101)->click();
    EXPECT_FALSE(Control<QRadioButton>(1100)->isChecked());

    Control<QPushButton>(1097)->click();
    rig.Settle();
    const sim::MachineRecord expected{0, 20, 0xFF, 30, 30, 30, 30, 0, 0x1F, 0x12, 0x34};
    EXPECT_EQ(rig.amp->Machine(), expected);
    EXPECT_EQ(rig.session.GetMachineSet().GetSavedRecord(), expected);
    ASSERT_EQ(rig.host.notices.size(), 1u);
    EXPECT_EQ(rig.host.notices[0].text, "保存设置成功!");
    EXPECT_EQ(rig.host.notices[0].periodMs, 1200);
    EXPECT_EQ(rig.host.relimits, 1) << "the master volumes follow the new maxima";
}

TEST_F(SettingsDialogTest, PowerOnSliderPlaysTheVolumeLiveAndTheOnBoxSwitchesItOnAndOff) {
    DeviceHolds({1, 0xFF, 0xFF, 30, 30, 30, 30, 0, 0});
    rig.session.Store().SetValue(pos::MicVol, 12);
    Open();
    auto* slider = Control<QSlider>(2018);
    Control<QCheckBox>(1098)->click();
    EXPECT_TRUE(slider->isEnabled());
    EXPECT_EQ(slider->value(), 12);
    EXPECT_EQ(Text(2000), "12");

    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(Text(2000), "13");
    EXPECT_EQ(rig.session.Store().Value(pos::MicVol), 13);
    EXPECT_EQ(rig.amp->Register(10, 32, 0), 13 + 40) << "the device plays the level before APPLY";
    EXPECT_EQ(rig.session.GetMachineSet().GetWorkingRecord()[1], 13);

    QTest::keyClick(Control<QSlider>(2020), Qt::Key_Left);
    EXPECT_EQ(Text(2002), "29");
    EXPECT_EQ(rig.session.GetMachineSet().GetWorkingRecord()[3], 29);

    Control<QCheckBox>(1098)->click();
    EXPECT_FALSE(slider->isEnabled());
    EXPECT_EQ(Text(2000), "无效");
    EXPECT_EQ(rig.session.GetMachineSet().GetWorkingRecord()[1], 0xFF);
    EXPECT_EQ(rig.amp->Machine()[1], 0xFF) << "nothing applied yet";
}

// APPLY in every state the amplifier can be in: the settings become the saved copy (which the lock checks
// and volume limits read) only when they went out to the amplifier, and the user is told which it was.
TEST(SettingsDialogStates, ApplyReachesTheAmplifierOrSaysWhyNotInTheUsersLanguage) {
    struct Case {
        AmpState state;
        bool reaches;
        const char* chinese;
        const char* english;
        bool asksToAct;  // the notice stays until the user closes it
    };
    const Case cases[] = {
        {AmpState::Connected, true, "保存设置成功!", "Setting saved", false},
        {AmpState::Disconnected, false, "请先连接设备!", "Please connect the device first!", true},
        {AmpState::UpgradeMode, false, "机器处于升级模式，无法执行此操作!",
         "The amplifier is in upgrade mode; nothing was sent!", false},
        {AmpState::WriteFails, false, "设备没有收到，请检查连接后重试!",
         "The amplifier did not receive it; check the connection and try again!", true},
    };
    for (const Case& c : cases) {
        for (const int language : {kChinese, kEnglish}) {
            SCOPED_TRACE(std::string(NameOf(c.state)) + (language == kChinese ? ", Chinese" : ", English"));
            SimRig rig;
            rig.Speak(language);
            ASSERT_TRUE(rig.Enter(c.state));
            const MachineSettings::Record savedBefore = rig.session.GetMachineSet().GetSavedRecord();
            const sim::MachineRecord ampBefore = rig.amp->Machine();
            const std::uint64_t reportsBefore = rig.amp->ReportsReceived();
            auto* dialog = new MachineSettingsDialog(rig.session, rig.host);
            QPointer<MachineSettingsDialog> guard(dialog);
            dialog->show();
            QTest::keyClick(FindControl<QSlider>(*dialog, 2021), Qt::Key_Right);
            FindControl<QPushButton>(*dialog, 1097)->click();
            rig.Settle();

            const MachineSettings::Record working = rig.session.GetMachineSet().GetWorkingRecord();
            EXPECT_EQ(rig.session.GetMachineSet().GetSavedRecord(), c.reaches ? working : savedBefore);
            if (c.reaches) {
                EXPECT_EQ(rig.amp->Machine(), working);
            } else {
                EXPECT_EQ(rig.amp->Machine(), ampBefore);
                EXPECT_EQ(rig.amp->ReportsReceived(), reportsBefore) << "nothing reached the amplifier";
            }
            ASSERT_EQ(rig.host.notices.size(), 1u);
            EXPECT_EQ(rig.host.notices[0].text, language == kChinese ? c.chinese : c.english);
            EXPECT_EQ(rig.host.notices[0].periodMs, c.asksToAct ? kNoticeUntilClosed : 1200);
            delete guard.data();
        }
    }
}

TEST_F(SettingsDialogTest, LanguageSwitchRedrawsCaptionsAndPowerOnRowsFromTheSavedCopy) {
    DeviceHolds({1, 0xFF, 5, 30, 30, 30, 30, 0, 0});
    rig.session.Store().SetValue(pos::MicVol, 9);
    Open();
    Control<QCheckBox>(1098)->click();
    EXPECT_EQ(Text(2000), "9");
    EXPECT_EQ(Control<QWidget>(1092)->toolTip(), QString::fromUtf8("限制能够调节的最大话筒音量"));

    UseLanguage(kEnglish);
    rig.host.language = kEnglish;
    dialog->RefreshLanguage();
    EXPECT_EQ(Control<QWidget>(1092)->toolTip(), "The highest mic volume that can be set")
        << "a tooltip stayed Chinese";
    EXPECT_EQ(Text(2000), "Invalid");
    EXPECT_FALSE(Control<QCheckBox>(1098)->isChecked());
    EXPECT_FALSE(Control<QSlider>(2018)->isEnabled());
    EXPECT_EQ(Text(2001), "5");
    EXPECT_EQ(Control<QCheckBox>(1083)->text(), "LOCK ON");
    EXPECT_EQ(dialog->windowTitle(), "Settings");
    EXPECT_EQ(rig.session.GetMachineSet().GetWorkingRecord()[1], 9) << "the edit is kept";
}

TEST_F(SettingsDialogTest, EnterDoesNothingAndEscClosesDeletesAndReLimits) {
    ASSERT_TRUE(rig.Connect());
    Open();
    QTest::keyClick(dialog, Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(rig.host.notices.empty()) << "Enter must not apply";

    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_EQ(rig.host.relimits, 1);
    EXPECT_TRUE(WaitFor([&] { return dialog.isNull(); })) << "the dialog deletes itself";
}

}  // namespace
}  // namespace varnoth::test
