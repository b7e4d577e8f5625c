#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "DialogTestSupport.h"
#include "device/sim/SimScenario.h"
#include "session/CarriedFirmware.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/SessionUpgrade.h"
#include "ui/dialogs/UpgradeDialog.h"

namespace varnoth::test {
namespace {

// The user's road with an amplifier of older firmware: the dialog opens with the red mark and both
// versions; the amplifier is switched off and on again in upgrade mode; the dialog turns green and offers
// the upgrade; Yes sends the image, and the completion notice closes the dialog.
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

    // The main window's part: the removal closes the link, the arrival connects and, in upgrade mode,
    // passes the arrival on.
    const auto restart = When([&] { return dialog.isVisible(); },
                              [&] {
                                  const std::string path = rig.session.GetDevPath();
                                  rig.provider->Unplug();
                                  rig.session.TryDisconnect(path);
                                  dialog.OnRemoval();
                                  rig.amp->SetUpgradeMode(true);
                                  rig.provider->Plug();
                                  ASSERT_TRUE(rig.Connect());
                                  ASSERT_EQ(rig.session.IsUpStatus(), 1);
                                  dialog.OnArrival(true);
                              });
    QString question;
    const auto yes = AnswerQuestion(QMessageBox::Yes, &question);
    dialog.exec();

    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(question, "升级|需要自动升级软件配套硬件程序吗?");
    EXPECT_EQ(FindControl<QLabel>(dialog, UpgradeDialog::kProgressTextId)->text(),
              QString::fromStdString(UpgradeFlow::ProgressText(rig.session.GetUpProgress())))
        << "the progress shows how far the image went";
    EXPECT_GT(rig.session.GetUpProgress(), 90);
    ASSERT_FALSE(rig.host.notices.empty());
    EXPECT_EQ(rig.host.notices.back().text, "升级完成，请重启设备!");
    EXPECT_EQ(rig.host.notices.back().periodMs, 2500);

    const std::span<const std::uint8_t> image = TestFirmwareImage();
    std::vector<std::uint8_t> expected(image.begin(), image.end());
    expected[1] = 0xF1;
    expected[2] = 0x88;
    const UpgradeFlash flash = rig.amp->Flash();
    EXPECT_EQ(flash.Image(0xE400), expected) << "the whole image reached the flash";
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 3, flash.Bytes().begin() + 0xE400))
        << "its own first bytes close the transfer";
}

}  // namespace
}  // namespace varnoth::test
