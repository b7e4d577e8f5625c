#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/KeyLearningDialog.h"
#include "ui/dialogs/RemoteKeys.h"
#include "ui/dialogs/RemoteLearningDialog.h"

namespace varnoth::test {
namespace {

class RemoteDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { dialog.show(); }

    QAbstractButton* KeyArea(int id) {
        auto* area = FindControl<QAbstractButton>(dialog, id);
        EXPECT_NE(area, nullptr) << "key area " << id;
        return area;
    }

    bool StudyShowing() const { return rig.host.study && rig.host.study->isVisible(); }

    template <class Widget = QWidget>
    Widget* StudyControl(int id) {
        return FindControl<Widget>(*rig.host.study, id);
    }

    SimRig rig;
    RemoteLearningDialog dialog{rig.session, rig.host};
    ModalWatchdog watchdog;
};

TEST_F(RemoteDialogTest, KeyTwoIsStudiedAndTheDevicesReplyShowsItsCodeAndClosesTheStudyDialog) {
    ASSERT_TRUE(rig.Connect());
    QAbstractButton* area = KeyArea(1600);
    EXPECT_EQ(area->cursor().shape(), Qt::PointingHandCursor);
    const DialogRect m2 = KeyAreaPixels(*FindRemoteKey(1600));
    EXPECT_EQ(area->geometry(), QRect(m2.x, m2.y, m2.width, m2.height))
        << "over the M2 key of the picture, whatever the dialog font";

    QString prompt;
    int studying = -1;
    bool pressed = false;
    const auto press = When([&] { return StudyShowing(); },
                            [&] {
                                prompt = StudyControl<QLabel>(KeyLearningDialog::kPromptId)->text();
                                studying = rig.amp->StudyingKey();
                                pressed = rig.amp->PressRemoteKey(0x20, 0x1C);
                            });
    QString code;
    QString closing;
    bool closeShown = false;
    const auto learnt = When(
        [&] {
            return StudyShowing() && !StudyControl<QLineEdit>(KeyLearningDialog::kCodeId)->text().isEmpty();
        },
        [&] {
            code = StudyControl<QLineEdit>(KeyLearningDialog::kCodeId)->text();
            closing = StudyControl<QLabel>(KeyLearningDialog::kClosingId)->text();
            closeShown = StudyControl(KeyLearningDialog::kCloseId)->isVisible() &&
                         StudyControl(KeyLearningDialog::kGiveUpId)->isHidden();
        });
    area->click();  // returns when the study dialog has closed itself

    EXPECT_FALSE(watchdog.Fired()) << "the study dialog did not close by itself";
    EXPECT_EQ(prompt, "您正在学习的键：载入模式二");
    EXPECT_EQ(studying, 2) << "StudyKey carries the key index";
    EXPECT_TRUE(pressed);
    EXPECT_EQ(code, "1C");
    EXPECT_EQ(closing, "窗口将自动关闭");
    EXPECT_TRUE(closeShown);
    EXPECT_TRUE(rig.host.study.isNull()) << "the host's pointer is cleared";
    const RemoteCodes::Record record = rig.session.GetRemote().GetRecord();
    EXPECT_EQ(record[0], 0x20);
    EXPECT_EQ(record[2], 0x1C);
}

TEST_F(RemoteDialogTest, GiveUpTellsTheDeviceToStopWhileEscOnlyClosesTheStudyDialog) {
    UseLanguage(kEnglish);
    rig.host.language = kEnglish;
    ASSERT_TRUE(rig.Connect());
    const RemoteCodes::Record before = rig.session.GetRemote().GetRecord();

    QString prompt;
    QString giveUp;
    const auto cancel = When([&] { return StudyShowing(); },
                             [&] {
                                 prompt = StudyControl<QLabel>(KeyLearningDialog::kPromptId)->text();
                                 giveUp = StudyControl<QPushButton>(KeyLearningDialog::kGiveUpId)->text();
                                 StudyControl<QPushButton>(KeyLearningDialog::kGiveUpId)->click();
                             });
    KeyArea(1587)->click();
    EXPECT_EQ(prompt, "you are studying key is Load Mode key 1");
    EXPECT_EQ(giveUp, "Cancel");
    EXPECT_EQ(rig.amp->StudyingKey(), 0) << "CancelStudying reached the device";
    EXPECT_EQ(rig.session.GetRemote().GetRecord(), before);

    const auto escape =
        When([&] { return StudyShowing(); }, [&] { QTest::keyClick(rig.host.study, Qt::Key_Escape); });
    KeyArea(1603)->click();
    EXPECT_EQ(rig.amp->StudyingKey(), 5) << "Esc does not stop the device learning";
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(RemoteDialogTest, ApplySendsTheRecordOrSaysTheDeviceMustBeConnected) {
    auto* apply = FindControl<QPushButton>(dialog, RemoteLearningDialog::kApplyId);
    apply->click();
    EXPECT_EQ(rig.host.LastNotice(), "请先连接设备!");
    rig.host.language = kEnglish;
    apply->click();
    EXPECT_EQ(rig.host.LastNotice(), "Please connect the device first!");

    ASSERT_TRUE(rig.Connect());
    ASSERT_NE(rig.amp->Ir(), sim::IrRecord{});
    apply->click();
    EXPECT_EQ(rig.host.LastNotice(), "Save remote control key successed !");
    EXPECT_EQ(rig.host.notices.back().periodMs, 1200);
    EXPECT_EQ(rig.amp->Ir(), sim::IrRecord{}) << "the session's record of zeros reached the device";
    EXPECT_TRUE(dialog.isVisible()) << "Apply leaves the dialog open";
}

}  // namespace
}  // namespace varnoth::test
