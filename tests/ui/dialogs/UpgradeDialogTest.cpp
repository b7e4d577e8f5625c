// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "FakeUpgradeSession.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/FeatureTexts.h"
#include "ui/dialogs/UpgradeDialog.h"

namespace varnoth::test {
namespace {

// The dialog over a session whose state the test sets, as the main window runs it.
class UpgradeDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        UseLanguage(kChinese);
        host.timing.upgradeFirstLook = std::chrono::milliseconds(1);
        host.timing.upgradePoll = std::chrono::milliseconds(5);
    }

    UpgradeDialog& Open() {
        dialog = std::make_unique<UpgradeDialog>(session, host);
        dialog->show();
        return *dialog;
    }

    // Opens the dialog on an amplifier in upgrade mode without its first look, so that nothing is asked.
    UpgradeDialog& OpenQuietly() {
        host.timing.upgradeFirstLook = std::chrono::hours(1);
        return Open();
    }

    QString Text(int id) { return FindControl<QLabel>(*dialog, id)->text(); }

    // The upgrade-mode mark shows the green picture (true) or the red one (false).
    bool MarkGreen() {
        const QImage mark = FindControl<QLabel>(*dialog, UpgradeDialog::kStatusId)->pixmap().toImage();
        EXPECT_FALSE(mark.isNull()) << "the mark shows a picture";
        const QColor centre = mark.pixelColor(mark.width() / 2, mark.height() / 2);
        return centre.green() > centre.red();
    }
    QPushButton* Button(int id) { return FindControl<QPushButton>(*dialog, id); }
    // The running transfer's next poll of its progress: whatever the step before it set off has happened.
    void WaitForProgressPoll() {
        const int polls = session.progressLooks;
        EXPECT_TRUE(WaitFor([&] { return session.progressLooks > polls; })) << "the transfer is not polled";
    }

    // The session ends its transfer and the main window passes the news on.
    void TransferEnds(const UpgradeResult& outcome) {
        session.upgrading = false;
        session.outcome = outcome;
        dialog->OnUpgradeDone();
    }

    FakeUpgradeSession session;
    FakeHost host;
    std::unique_ptr<UpgradeDialog> dialog;
    ModalWatchdog watchdog;
};

TEST_F(UpgradeDialogTest, InNormalModeShowsBothVersionsARedMarkAndAsksNothing) {
    session.upStatus = false;
    Open();
    EXPECT_EQ(Text(UpgradeDialog::kImageDateId), "2011-11-28");
    EXPECT_TRUE(FindControl(*dialog, UpgradeDialog::kDeviceDateId)->isVisible());
    EXPECT_EQ(Text(UpgradeDialog::kDeviceDateId), "2011-06-15");
    const int looks = session.modeLooks;
    ASSERT_TRUE(WaitFor([&] { return session.modeLooks > looks; })) << "the dialog's first look never came";
    EXPECT_FALSE(MarkGreen());
    EXPECT_EQ(VisibleQuestion(), nullptr);

    dialog->OnArrival(false);
    EXPECT_FALSE(MarkGreen());
    EXPECT_TRUE(session.started.empty());
}

TEST_F(UpgradeDialogTest, InUpgradeModeTurnsGreenAsksAndAYesRunsTheTransferToTheCompletionNotice) {
    QString question;
    const auto yes = AnswerQuestion(QMessageBox::Yes, &question);
    bool buttonsDisabled = false;
    const auto progress = When([&] { return !session.started.empty(); },
                               [&] {
                                   buttonsDisabled = !Button(UpgradeDialog::kManualId)->isEnabled() &&
                                                     !Button(UpgradeDialog::kFromFileId)->isEnabled();
                                   session.progress = 37;
                               });
    QString shown;
    const auto done =
        When([&] { return dialog && Text(UpgradeDialog::kProgressTextId) == "37%"; },
             [&] {
                 shown = Text(UpgradeDialog::kProgressTextId);
                 EXPECT_EQ(FindControl<QProgressBar>(*dialog, UpgradeDialog::kProgressId)->value(), 37);
                 TransferEnds(UpgradeResult::Sent(1000, "sent"));
             });
    session.upStatus = true;
    Open();
    EXPECT_TRUE(FindControl(*dialog, UpgradeDialog::kDeviceDateId)->isHidden())
        << "no current version in upgrade mode";
    const int result = dialog->exec();

    EXPECT_FALSE(watchdog.Fired());
    EXPECT_TRUE(MarkGreen());
    EXPECT_EQ(question, "升级|需要自动升级软件配套硬件程序吗?");
    EXPECT_EQ(session.started, std::vector<std::string>{"carried"});
    EXPECT_TRUE(buttonsDisabled);
    EXPECT_EQ(shown, "37%");
    EXPECT_EQ(result, QDialog::Rejected) << "the dialog ends as if closed";
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].text, "升级完成，请重启设备!");
    EXPECT_EQ(host.notices[0].periodMs, kNoticeUntilClosed) << "it stays until the user has read it";
}

// An amplifier that comes in upgrade mode after the dialog opened is the main window's to ask about: the
// dialog's first look asks nothing, and the arrival the window passes on once the user agreed sends the
// carried image at once.
TEST_F(UpgradeDialogTest, AnArrivalIsAskedAboutOnceByTheWindowNotAgainByTheDialog) {
    session.upStatus = false;
    Open();
    session.upStatus = true;
    ASSERT_TRUE(WaitFor([&] { return MarkGreen(); })) << "the first look did not see the upgrade mode";
    EXPECT_EQ(VisibleQuestion(), nullptr) << "the first look asked";
    EXPECT_TRUE(session.started.empty());

    dialog->OnArrival(true);
    WaitForProgressPoll();
    EXPECT_EQ(VisibleQuestion(), nullptr) << "the arrival asked";
    EXPECT_EQ(session.started, std::vector<std::string>{"carried"});
    EXPECT_FALSE(Button(UpgradeDialog::kManualId)->isEnabled()) << "the transfer runs";
}

TEST_F(UpgradeDialogTest, ArrivalInUpgradeModeDuringATransferAsksNothingAndStartsNothing) {
    OpenQuietly();
    Button(UpgradeDialog::kManualId)->click();
    ASSERT_EQ(session.started.size(), 1u);
    dialog->OnRemoval();
    EXPECT_FALSE(MarkGreen());
    dialog->OnArrival(true);
    EXPECT_TRUE(MarkGreen());
    WaitForProgressPoll();
    EXPECT_EQ(VisibleQuestion(), nullptr);
    EXPECT_EQ(session.started.size(), 1u);
}

TEST_F(UpgradeDialogTest, ManualButtonNeedsADeviceAndAnImage) {
    session.upStatus = false;
    session.connected = false;
    Open();
    Button(UpgradeDialog::kManualId)->click();
    EXPECT_EQ(host.LastNotice(), "请先连接设备!");
    session.connected = true;
    session.upStatus = true;
    session.carries = false;
    host.language = kEnglish;
    Button(UpgradeDialog::kManualId)->click();
    EXPECT_EQ(host.LastNotice(), "No upgrade image available, nothing was sent!");
    EXPECT_TRUE(session.started.empty());
    EXPECT_TRUE(Button(UpgradeDialog::kManualId)->isEnabled());
}

TEST_F(UpgradeDialogTest, AnAmplifierInNormalModeIsSentNothingAndTheUserLearnsHowToEnterUpgradeMode) {
    session.upStatus = false;
    Open();
    dialog->SetImageChooser([](QWidget*) -> QString {
        ADD_FAILURE() << "no file is asked for";
        return "/tmp/firmware.bin";
    });
    struct Case {
        int language;
        int button;
        const char* says;
    };
    const Case cases[] = {
        {kChinese, UpgradeDialog::kManualId, "机器不在升级模式，升级未进行!\n请先关闭电源，按住ENTER键"},
        {kEnglish, UpgradeDialog::kManualId, "not in upgrade mode, nothing was sent!\nTurn power off, press"},
        {kEnglish, UpgradeDialog::kFromFileId, "not in upgrade mode"},
    };
    for (const Case& c : cases) {
        host.language = c.language;
        QString warning;
        const auto ok = AnswerQuestion(QMessageBox::Ok, &warning);
        Button(c.button)->click();
        EXPECT_TRUE(warning.contains(QString::fromUtf8(c.says))) << warning.toStdString();
    }
    EXPECT_TRUE(session.started.empty());
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(UpgradeDialogTest, EscAndTheCloseBoxDoNotCloseTheDialogWhileTheAmplifierIsWritten) {
    OpenQuietly();
    Button(UpgradeDialog::kManualId)->click();
    ASSERT_TRUE(session.upgrading);
    for (const bool closeBox : {false, true}) {
        QString warning;
        const auto ok = AnswerQuestion(QMessageBox::Ok, &warning);
        if (closeBox) {
            dialog->close();
        } else {
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        }
        EXPECT_TRUE(dialog->isVisible()) << (closeBox ? "close box" : "Esc");
        EXPECT_TRUE(warning.contains(QString::fromUtf8("请勿关闭窗口或拔出USB线"))) << warning.toStdString();
    }
    QString warning;
    const auto ok = AnswerQuestion(QMessageBox::Ok, &warning);
    UpgradeResult gone = UpgradeResult::Failed(UpgradeFault::Unplugged, "went away");
    gone.page = 2;
    gone.pages = 3;
    gone.percent = 40;
    TransferEnds(gone);
    EXPECT_TRUE(
        warning.contains(QString::fromUtf8("升级过程中设备已断开，停在第 2 页（共 3 页，已确认 40%）")))
        << "the outcome is shown: " << warning.toStdString();
    dialog->close();
    EXPECT_FALSE(dialog->isVisible()) << "after the transfer the dialog closes as usual";
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(UpgradeDialogTest, TransferThatSentNothingSaysWhyAndKeepsTheDialog) {
    OpenQuietly();
    Button(UpgradeDialog::kManualId)->click();
    QString warning;
    const auto ok = AnswerQuestion(QMessageBox::Ok, &warning);
    UpgradeResult silent = UpgradeResult::Failed(UpgradeFault::NoReply, "no reply");
    silent.page = 1;
    silent.pages = 2;
    TransferEnds(silent);
    EXPECT_EQ(
        warning,
        "升级|升级失败，请重新升级!\n设备在第 1 页（共 2 页，已确认 0%）没有确认升级程序的报告，传输已停止。"
        "设备固件不完整，没有启动。请关闭设备电源，按住ENTER键同时打开电源进入升级模式，然后重新升级。");
    EXPECT_TRUE(host.notices.empty()) << "no completion notice";
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(Button(UpgradeDialog::kManualId)->isEnabled()) << "the user may try again";

    Button(UpgradeDialog::kManualId)->click();
    session.connected = false;
    host.language = kEnglish;
    const auto ok2 = AnswerQuestion(QMessageBox::Ok, &warning);
    TransferEnds(UpgradeResult::Failed(UpgradeFault::NotConnected, "No amplifier is connected."));
    EXPECT_EQ(warning, "Upgrade|Device gone, upgrade not finished!\nNo amplifier is connected.");
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(UpgradeDialogTest, ImageFileIsChosenCheckedAndSent) {
    OpenQuietly();
    QString chosen = "/tmp/firmware.hex";
    dialog->SetImageChooser([&](QWidget*) { return chosen; });
    session.fileCheck =
        UpgradeResult::Failed(UpgradeFault::HexFile, "an Intel HEX file", 0, "/tmp/firmware.hex");
    QString warning;
    const auto ok = AnswerQuestion(QMessageBox::Ok, &warning);
    Button(UpgradeDialog::kFromFileId)->click();
    EXPECT_EQ(warning,
              "升级|升级文件无效，升级未进行!\n升级文件 \"/tmp/firmware.hex\"是 Intel HEX "
              "文本文件，只能发送二进制升级程序 "
              "(.bin)。");
    EXPECT_TRUE(session.started.empty());

    session.fileCheck = {};
    chosen = "/tmp/firmware.bin";
    Button(UpgradeDialog::kFromFileId)->click();
    EXPECT_EQ(session.started, std::vector<std::string>{"/tmp/firmware.bin"});
    EXPECT_FALSE(Button(UpgradeDialog::kFromFileId)->isEnabled());

    TransferEnds(UpgradeResult::Sent(1000, "sent"));
    EXPECT_EQ(host.LastNotice(), "升级完成，请重启设备!");
    EXPECT_FALSE(watchdog.Fired());
}

}  // namespace
}  // namespace varnoth::test
