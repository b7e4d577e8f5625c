// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractButton>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

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

// The focus ring of a key goes around the key: every pixel of the key's picture, its text included, stays as
// it was, and the ring shows just outside it.
TEST_F(RemoteDialogTest, TheFocusRingGoesAroundEachKeyWithoutCoveringIt) {
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    FindControl<QPushButton>(dialog, RemoteLearningDialog::kApplyId)->setFocus(Qt::TabFocusReason);
    const QImage plain = dialog.grab().toImage();
    for (const RemoteKey& key : kRemoteKeys) {
        SCOPED_TRACE("key " + std::to_string(key.id));
        QAbstractButton* area = KeyArea(key.id);
        area->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(area->hasFocus());
        const QImage focused = dialog.grab().toImage();
        const QRect inside = area->geometry();
        const QRect near = inside.adjusted(-8, -8, 8, 8) & plain.rect();
        int covered = 0;
        int around = 0;
        for (int y = near.top(); y <= near.bottom(); ++y) {
            for (int x = near.left(); x <= near.right(); ++x) {
                if (focused.pixel(x, y) != plain.pixel(x, y)) {
                    ++(inside.contains(x, y) ? covered : around);
                }
            }
        }
        EXPECT_EQ(covered, 0) << "the ring covers pixels of the key";
        EXPECT_GT(around, 0) << "no ring shows around the key";
    }
}

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
    area->click();
    rig.Settle();

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

// A click on a key and Apply in every state the amplifier can be in: only an amplifier that takes commands
// is asked to learn (and only then does a wait begin) or gets the record; otherwise the user is told at once
// why not, in the current language, and nothing reaches the amplifier.
TEST(RemoteDialogStates, StudyAndApplyReachTheAmplifierOrSayWhyNotAtOnce) {
    struct Case {
        AmpState state;
        const char* chinese;  // what a refused study or Apply says; nullptr: the amplifier takes them
        const char* english;
    };
    const Case cases[] = {
        {AmpState::Connected, nullptr, nullptr},
        {AmpState::Disconnected, "请先连接设备!", "Please connect the device first!"},
        {AmpState::UpgradeMode, "机器处于升级模式，无法执行此操作!",
         "The amplifier is in upgrade mode; nothing was sent!"},
        {AmpState::WriteFails, "设备没有收到，请检查连接后重试!",
         "The amplifier did not receive it; check the connection and try again!"},
    };
    for (const Case& c : cases) {
        for (const int language : {kChinese, kEnglish}) {
            SCOPED_TRACE(std::string(NameOf(c.state)) + (language == kChinese ? ", Chinese" : ", English"));
            SimRig rig;
            rig.Speak(language);
            ASSERT_TRUE(rig.Enter(c.state));
            RemoteLearningDialog dialog(rig.session, rig.host);
            dialog.show();
            ModalWatchdog watchdog(kDeadlineMs);
            const bool takes = c.chinese == nullptr;
            const QString refusal = QString::fromUtf8(language == kChinese ? c.chinese : c.english);
            const std::uint64_t reportsBefore = rig.amp->ReportsReceived();
            const sim::IrRecord irBefore = rig.amp->Ir();

            int studying = -1;
            const auto giveUp = When([&] { return rig.host.study && rig.host.study->isVisible(); },
                                     [&] {
                                         studying = rig.amp->StudyingKey();
                                         rig.host.study->reject();
                                     });
            FindControl<QAbstractButton>(dialog, 1600)->click();
            rig.Settle();
            EXPECT_FALSE(watchdog.Fired()) << "a wait that never ends";
            if (takes) {
                EXPECT_EQ(studying, 2) << "the amplifier was learning key 2 while the dialog waited";
                EXPECT_TRUE(rig.host.notices.empty());
            } else {
                EXPECT_EQ(studying, -1) << "no wait begins";
                ASSERT_EQ(rig.host.notices.size(), 1u);
                EXPECT_EQ(rig.host.notices[0].text, refusal);
                EXPECT_EQ(rig.amp->ReportsReceived(), reportsBefore);
            }

            FindControl<QPushButton>(dialog, RemoteLearningDialog::kApplyId)->click();
            rig.Settle();
            ASSERT_FALSE(rig.host.notices.empty());
            if (takes) {
                EXPECT_EQ(rig.host.LastNotice(), language == kChinese
                                                     ? "遥控器键码保存成功!"
                                                     : "Save remote control key successed !");
                EXPECT_EQ(rig.amp->Ir(), rig.session.GetRemote().GetRecord());
            } else {
                EXPECT_EQ(rig.host.LastNotice(), refusal);
                EXPECT_EQ(rig.amp->Ir(), irBefore);
                EXPECT_EQ(rig.amp->ReportsReceived(), reportsBefore) << "nothing reached the amplifier";
            }
        }
    }
}

// Every way out of the key-studying dialog but a learnt key tells the amplifier to stop learning.
TEST(RemoteDialogStates, EveryEndOfTheWaitButALearntKeyStopsTheAmplifierLearning) {
    struct Case {
        const char* end;
        std::function<void(KeyLearningDialog*&)> act;
        bool cancels;
    };
    const std::vector<Case> cases{
        {"give up",
         [](KeyLearningDialog*& d) { FindControl<QPushButton>(*d, KeyLearningDialog::kGiveUpId)->click(); },
         true},
        {"Esc", [](KeyLearningDialog*& d) { QTest::keyClick(d, Qt::Key_Escape); }, true},
        {"close box", [](KeyLearningDialog*& d) { d->close(); }, true},
        {"window lost",
         [](KeyLearningDialog*& d) {
             delete d;
             d = nullptr;
         },
         true},
        {"key learnt", [](KeyLearningDialog*& d) { d->OnKeyStudied(0x1C); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.end);
        SimRig rig;
        UseLanguage(kEnglish);
        ASSERT_TRUE(rig.Connect());
        ASSERT_TRUE(StartStudying(rig.session, *FindRemoteKey(1603), kEnglish).text.empty());
        ASSERT_EQ(rig.amp->StudyingKey(), 5);
        auto* study = new KeyLearningDialog("prompt", rig.session.GetRemote(), kEnglish,
                                            std::chrono::milliseconds(600));
        study->show();
        EXPECT_EQ(FindControl<QLabel>(*study, KeyLearningDialog::kInstructionId)->text(),
                  "Press the matching key on the remote control");
        const std::uint64_t reportsBefore = rig.amp->ReportsReceived();
        c.act(study);
        EXPECT_EQ(rig.amp->StudyingKey(), c.cancels ? 0 : 5);
        delete study;
        EXPECT_EQ(rig.amp->ReportsReceived(), reportsBefore + (c.cancels ? 1 : 0))
            << "CancelStudying goes out once, and only while the amplifier is learning";
    }
}

}  // namespace
}  // namespace varnoth::test
