// SPDX-License-Identifier: GPL-3.0-or-later
#include <QPushButton>
#include <QTest>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/FeatureTexts.h"
#include "ui/dialogs/OtherFunctionsDialog.h"
#include "ui/dialogs/RemoteLearningDialog.h"

namespace varnoth::test {
namespace {

class ResetDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { dialog.show(); }

    QPushButton* Button(int id) { return FindControl<QPushButton>(dialog, id); }

    SimRig rig;
    OtherFunctionsDialog dialog{rig.session, rig.host};
    ModalWatchdog watchdog;
};

TEST_F(ResetDialogTest, ModeResetNeedsADeviceThenResetsAndShowsTheProgressDialogOverTheDialog) {
    Button(1010)->click();
    EXPECT_TRUE(rig.host.syncDialogsOver.empty()) << "without a device M3 does nothing";

    ASSERT_TRUE(rig.Connect());
    Button(1008)->setFocus();
    QTest::keyClick(Button(1008), Qt::Key_Return);
    EXPECT_TRUE(rig.host.syncDialogsOver.empty()) << "Enter presses no button";

    Button(1010)->click();
    rig.Settle();
    EXPECT_EQ(rig.amp->CurrentMode(), 2);
    EXPECT_EQ(rig.session.MemoryMode(), 2);
    EXPECT_EQ(rig.host.syncDialogsOver, std::vector<QWidget*>{&dialog});
    EXPECT_TRUE(WaitFor([&] { return rig.observer.syncsDone == 1; })) << "the mode is read back";
    EXPECT_EQ(dialog.windowTitle(), "重置/升级/遥控学习");
    EXPECT_EQ(Button(1111)->text(), "重置机器");
}

// The resets in every state the amplifier can be in, in both languages: a reset that went out is read back
// with the progress dialog, so the panel shows what the amplifier now holds; otherwise the user is told
// why not (M1..M4 without a device stay silent, as the main window's mode buttons) and nothing was sent.
TEST(ResetDialogStates, ResetsReachTheAmplifierAndAreReadBackOrSayWhyNot) {
    struct Case {
        AmpState state;
        int button;
        const char* chinese;  // nullptr: reset and read back; "": nothing happens
        const char* english;
        bool asksToAct = false;  // the notice stays until the user closes it
    };
    const char* inUpgradeZh = "机器处于升级模式，无法执行此操作!";
    const char* inUpgradeEn = "The amplifier is in upgrade mode; nothing was sent!";
    const char* lostZh = "设备没有收到，请检查连接后重试!";
    const char* lostEn = "The amplifier did not receive it; check the connection and try again!";
    const Case cases[] = {
        {AmpState::Connected, 1010, nullptr, nullptr},
        {AmpState::Disconnected, 1010, "", ""},
        {AmpState::UpgradeMode, 1010, inUpgradeZh, inUpgradeEn},
        {AmpState::WriteFails, 1010, lostZh, lostEn, true},
        {AmpState::Connected, 1111, nullptr, nullptr},
        {AmpState::Disconnected, 1111, "请先连接设备再执行此操作!",
         "Please connect the device before doing this!", true},
        {AmpState::UpgradeMode, 1111, inUpgradeZh, inUpgradeEn},
        {AmpState::WriteFails, 1111, lostZh, lostEn, true},
    };
    for (const Case& c : cases) {
        for (const int language : {kChinese, kEnglish}) {
            SCOPED_TRACE(std::string(NameOf(c.state)) + ", button " + std::to_string(c.button) +
                         (language == kChinese ? ", Chinese" : ", English"));
            SimRig rig;
            rig.Speak(language);
            VirtualAmpState state = rig.amp->State();
            state.machine = {1, 20, 20, 20, 20, 20, 20, 1, 0x3F, 0, 0};
            state.currentMode = 0;
            ASSERT_TRUE(rig.amp->SetState(state));
            ASSERT_TRUE(rig.Enter(c.state));
            OtherFunctionsDialog dialog(rig.session, rig.host);
            dialog.show();
            ModalWatchdog watchdog(kDeadlineMs);
            const std::uint64_t reportsBefore = rig.amp->ReportsReceived();

            QString question;
            const auto yes = AnswerQuestion(QMessageBox::Yes, &question);
            FindControl<QPushButton>(dialog, c.button)->click();
            rig.Settle();
            EXPECT_FALSE(watchdog.Fired());
            if (c.button == 1111) {
                EXPECT_EQ(question, language == kChinese
                                        ? "机器复位|您确定将机器复位吗?"
                                        : "Reset machine|Reset the machine to its factory settings?");
            }
            if (c.chinese == nullptr) {
                EXPECT_TRUE(rig.host.notices.empty());
                EXPECT_EQ(rig.host.syncDialogsOver, std::vector<QWidget*>{&dialog});
                ASSERT_TRUE(WaitFor([&] { return rig.observer.syncsDone == 1; })) << "read back";
                if (c.button == 1111) {
                    EXPECT_EQ(rig.amp->Machine(), sim::FactoryMachineRecord());
                    EXPECT_EQ(rig.session.GetMachineSet().GetSavedRecord(), sim::FactoryMachineRecord())
                        << "the panel holds what the amplifier now holds";
                } else {
                    EXPECT_EQ(rig.amp->CurrentMode(), 2);
                    EXPECT_EQ(rig.session.MemoryMode(), 2);
                }
                continue;
            }
            EXPECT_TRUE(rig.host.syncDialogsOver.empty()) << "nothing to read back";
            EXPECT_EQ(rig.amp->ReportsReceived(), reportsBefore) << "nothing reached the amplifier";
            EXPECT_EQ(rig.amp->Machine(), state.machine);
            const QString told = QString::fromUtf8(language == kChinese ? c.chinese : c.english);
            if (told.isEmpty()) {
                EXPECT_TRUE(rig.host.notices.empty());
            } else {
                ASSERT_EQ(rig.host.notices.size(), 1u);
                EXPECT_EQ(rig.host.notices[0].text, told);
                EXPECT_EQ(rig.host.notices[0].periodMs, c.asksToAct ? kNoticeUntilClosed : 1200);
            }
        }
    }
}

TEST_F(ResetDialogTest, MachineResetAnsweredNoSendsNothing) {
    ASSERT_TRUE(rig.Connect());
    const std::uint64_t before = rig.amp->ReportsReceived();
    const auto answer = AnswerQuestion(QMessageBox::No);
    Button(1111)->click();
    EXPECT_EQ(rig.amp->ReportsReceived(), before);
    EXPECT_TRUE(rig.host.notices.empty());
    EXPECT_TRUE(rig.host.syncDialogsOver.empty());
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(ResetDialogTest, RemoteOpensTheLearningDialogAndUpgradeAsksTheHost) {
    QString title;
    const auto close =
        When([] { return qobject_cast<RemoteLearningDialog*>(QApplication::activeModalWidget()) != nullptr; },
             [&] {
                 QWidget* remote = QApplication::activeModalWidget();
                 title = remote->windowTitle();
                 qobject_cast<RemoteLearningDialog*>(remote)->reject();
             });
    Button(1037)->click();
    EXPECT_EQ(title, "遥控学习") << "opened without a device";

    Button(1038)->click();
    EXPECT_EQ(rig.host.upgradeRequestsFrom, std::vector<QWidget*>{&dialog});
    EXPECT_FALSE(watchdog.Fired());
}

}  // namespace
}  // namespace varnoth::test
