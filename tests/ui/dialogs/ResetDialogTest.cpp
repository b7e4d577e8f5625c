#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "ui/dialogs/DialogBuilder.h"
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
    EXPECT_EQ(rig.amp->CurrentMode(), 2);
    EXPECT_EQ(rig.session.GetCurEffectMode(), 2);
    EXPECT_EQ(rig.host.syncDialogsOver, std::vector<QWidget*>{&dialog});
    EXPECT_TRUE(WaitFor([&] { return rig.observer.syncsDone == 1; })) << "the mode is read back";
    EXPECT_EQ(dialog.windowTitle(), "重置/升级/遥控学习");
    EXPECT_EQ(Button(1111)->text(), "重置机器");
}

TEST_F(ResetDialogTest, MachineResetAsksFirstAndNeedsADevice) {
    VirtualAmpState state = rig.amp->State();
    state.machine = {1, 20, 20, 20, 20, 20, 20, 1, 0x3F, 0, 0};
    ASSERT_TRUE(rig.amp->SetState(state));

    QString question;
    auto answer = AnswerQuestion(QMessageBox::Yes, &question);
    Button(1111)->click();
    EXPECT_EQ(question, "机器复位|您确定将机器复位吗?");
    EXPECT_EQ(rig.host.LastNotice(), "请先连接设备再执行此操作!");
    EXPECT_EQ(rig.host.notices.back().periodMs, 1200);

    ASSERT_TRUE(rig.Connect());
    const std::uint64_t before = rig.amp->ReportsReceived();
    answer = AnswerQuestion(QMessageBox::No);
    Button(1111)->click();
    EXPECT_EQ(rig.amp->ReportsReceived(), before) << "No sends nothing";

    answer = AnswerQuestion(QMessageBox::Yes);
    Button(1111)->click();
    EXPECT_EQ(rig.amp->Machine(), sim::FactoryMachineRecord());
    EXPECT_EQ(rig.host.notices.size(), 1u);
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
