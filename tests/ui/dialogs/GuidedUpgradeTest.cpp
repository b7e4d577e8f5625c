// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "device/sim/SimScenario.h"
#include "session/CarriedFirmware.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/FeatureTexts.h"
#include "ui/dialogs/SessionUpgrade.h"
#include "ui/dialogs/UpgradeDialog.h"

namespace varnoth::test {
namespace {

// The user's road with an amplifier of older firmware: the dialog opens with the red mark and both
// versions; the amplifier is switched off and on again in upgrade mode; the main window asks and passes the
// arrival on, and the dialog turns green and sends the image without asking again; the completion notice
// closes the dialog.
TEST(GuidedUpgrade, FromOldFirmwareThroughUpgradeModeToTheCompletionNotice) {
    SimRig rig;
    ASSERT_EQ(ApplySimScenario("old-firmware", *rig.provider), "");
    ASSERT_TRUE(rig.Connect());
    rig.ReadAll();
    ASSERT_EQ(rig.session.GetDevDate(), "2011-06-15");

    SessionUpgrade upgrade(rig.session);
    UpgradeDialog dialog(upgrade, rig.host);
    rig.host.upgrade = &dialog;
    ModalWatchdog watchdog;
    EXPECT_EQ(FindControl<QLabel>(dialog, UpgradeDialog::kDeviceDateId)->text(), "2011-06-15");
    EXPECT_EQ(FindControl<QLabel>(dialog, UpgradeDialog::kImageDateId)->text(), "2011-11-28");

    // The main window's part: the removal closes the link, the arrival connects and, in upgrade mode and
    // once the user has agreed, passes the arrival on.
    const auto restart = When([&] { return dialog.isVisible(); },
                              [&] {
                                  const std::string path = rig.session.GetDevPath();
                                  rig.provider->Unplug();
                                  rig.session.TryDisconnect(path);
                                  dialog.OnRemoval();
                                  rig.amp->SetUpgradeMode(true);
                                  rig.provider->Plug();
                                  ASSERT_TRUE(rig.Connect());
                                  ASSERT_EQ(rig.session.InUpgradeMode(), 1);
                                  dialog.OnArrival(true);
                              });
    QString question;
    const auto asked = AnswerQuestion(QMessageBox::No, &question);
    dialog.exec();

    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(question, "") << "the dialog asked again";
    EXPECT_EQ(FindControl<QLabel>(dialog, UpgradeDialog::kProgressTextId)->text(),
              QString::fromStdString(UpgradeFlow::ProgressText(rig.session.GetUpProgress())))
        << "the progress shows how far the image went";
    EXPECT_GT(rig.session.GetUpProgress(), 90);
    ASSERT_FALSE(rig.host.notices.empty());
    EXPECT_EQ(rig.host.notices.back().text, "升级完成，请重启设备!");
    EXPECT_EQ(rig.host.notices.back().periodMs, kNoticeUntilClosed);

    const std::span<const std::uint8_t> image = TestFirmwareImage();
    std::vector<std::uint8_t> expected(image.begin(), image.end());
    expected[1] = 0xF1;
    expected[2] = 0x88;
    const UpgradeFlash flash = rig.amp->Flash();
    EXPECT_EQ(flash.Image(0xE400), expected) << "the whole image reached the flash";
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 3, flash.Bytes().begin() + 0xE400))
        << "its own first bytes close the transfer";
}

// The manual upgrade button in every state the amplifier can be in, in both languages: what reached the
// amplifier's flash and what the user was told, details included.
TEST(UpgradeDialogStates, ManualUpgradeSendsTheImageOrSaysWhyNotInTheUsersLanguage) {
    struct Case {
        AmpState state;
        bool linkGone;        // the link stops taking reports before the button is pressed
        const char* chinese;  // the notice, or the warning's caption, heading and detail
        const char* english;
        bool warns;
        bool flashed;
    };
    const Case cases[] = {
        {AmpState::Connected, false, "升级|机器不在升级模式，升级未进行!\n请先关闭电源，按住ENTER键",
         "Upgrade|The machine is not in upgrade mode, nothing was sent!\nTurn power off", true, false},
        {AmpState::Disconnected, false, "请先连接设备!", "Please connect the device first!", false, false},
        {AmpState::UpgradeMode, false, "升级完成，请重启设备!",
         "Upgrade finished, please restart the device!", false, true},
        {AmpState::UpgradeMode, true,
         "升级|升级失败，请重新升级!\n升级程序的报告在第 1 页（共 12 页，已确认 0%）未能发送",
         "Upgrade|Upgrade failed, please upgrade again!\nA report of the firmware image could not be sent at "
         "page 1 of 12 (0% acknowledged)",
         true, false},
        {AmpState::WriteFails, false, "升级|机器不在升级模式，升级未进行!",
         "Upgrade|The machine is not in upgrade mode", true, false},
    };
    const std::size_t imageSize = TestFirmwareImage().size();
    for (const Case& c : cases) {
        for (const int language : {kChinese, kEnglish}) {
            SCOPED_TRACE(std::string(NameOf(c.state)) + (c.linkGone ? ", link gone" : "") +
                         (language == kChinese ? ", Chinese" : ", English"));
            SimRig rig(std::chrono::milliseconds(20));  // a dead link fails the whole image quickly
            rig.Speak(language);
            rig.host.timing.upgradeFirstLook = std::chrono::hours(1);  // the button, not the offer
            ASSERT_TRUE(rig.Enter(c.state));
            if (c.linkGone) {
                rig.provider->Unplug();
            }
            SessionUpgrade upgrade(rig.session);
            UpgradeDialog dialog(upgrade, rig.host);
            rig.host.upgrade = &dialog;
            dialog.show();
            ModalWatchdog watchdog(kDeadlineMs);
            QString warning;
            const auto ok = AnswerQuestion(QMessageBox::Ok, &warning);

            FindControl<QPushButton>(dialog, UpgradeDialog::kManualId)->click();
            ASSERT_TRUE(WaitFor([&] { return !rig.host.notices.empty() || !warning.isEmpty(); }));
            EXPECT_FALSE(watchdog.Fired());
            const QString expected = QString::fromUtf8(language == kChinese ? c.chinese : c.english);
            if (c.warns) {
                EXPECT_TRUE(warning.startsWith(expected)) << warning.toStdString();
                EXPECT_TRUE(rig.host.notices.empty());
            } else {
                ASSERT_EQ(rig.host.notices.size(), 1u);
                EXPECT_EQ(rig.host.notices[0].text, expected);
            }
            EXPECT_EQ(rig.amp->Flash().Image(0xE400).size() == imageSize, c.flashed)
                << "the image reached the flash only in upgrade mode";
            EXPECT_FALSE(rig.amp->Flash().Written(0xE400) && !c.flashed) << "never closed after a failure";
        }
    }
}

}  // namespace
}  // namespace varnoth::test
