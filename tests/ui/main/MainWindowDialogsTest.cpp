// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "../dialogs/ModalHelpers.h"
#include "LayoutCheck.h"
#include "MainWindowFixture.h"
#include "app/ApplicationKeys.h"
#include "device/Opcodes.h"
#include "device/sim/SimFactory.h"
#include "device/sim/SimTransport.h"
#include "session/CarriedFirmware.h"
#include "ui/controls/ImageButton.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/KeyLearningDialog.h"
#include "ui/dialogs/MachineSettingsDialog.h"
#include "ui/dialogs/OtherFunctionsDialog.h"
#include "ui/dialogs/RemoteLearningDialog.h"
#include "ui/dialogs/UpgradeDialog.h"
#include "ui/main/MainWindowTemplate.h"

namespace varnoth::test {
namespace {

class MainWindowDialogs : public MainWindowTest {
  protected:
    // Opens the window on an amplifier in upgrade mode whose replies come slowly, and waits until the window
    // has closed (closed is set then); false when it stays open.
    bool OpenSlowUpgradeUntilClosed(bool& closed) {
        Open("upgrade", 1, [this](VirtualAmp&) {
            SimFaults slow;
            slow.latency = std::chrono::milliseconds(5);
            Provider().SetFaults(slow);
        });
        QObject::connect(&Window(), &QDialog::finished, [&closed] { closed = true; });
        return QTest::qWaitFor([&] { return closed; }, kDeadlineMs);
    }
};

QWidget* Modal() {
    return QApplication::activeModalWidget();
}

template <class Dialog>
Dialog* ModalOf() {
    return qobject_cast<Dialog*>(Modal());
}

template <class Widget = QWidget>
Widget& In(QWidget* dialog, int id) {
    auto* control = dialog != nullptr ? FindControl<Widget>(*dialog, id) : nullptr;
    if (control == nullptr) {
        ADD_FAILURE() << "no control " << id;
        throw std::runtime_error("missing control");
    }
    return *control;
}

TEST_F(MainWindowDialogs, F7OpensTheSettingsDialogOnceAndNotWhileTheProgressDialogShows) {
    OpenSynchronised();
    ApplicationKeys keys(Window());
    qApp->installEventFilter(&keys);

    bool pressed = false;
    bool openedWhileSyncing = false;
    const auto duringSync = When([&] { return Window().IsSyncing(); },
                                 [&] {
                                     QTest::keyRelease(Modal(), Qt::Key_F7);
                                     openedWhileSyncing = Window().SettingsDialog() != nullptr;
                                     pressed = true;
                                     Session().SynchronizeData(false);
                                 });
    Window().ShowSyncDialog(&Window());
    ASSERT_TRUE(pressed);
    EXPECT_FALSE(openedWhileSyncing);
    ASSERT_TRUE(WaitForSyncs(2));

    QTest::keyRelease(&Window(), Qt::Key_F7);
    MachineSettingsDialog* settings = Window().SettingsDialog();
    ASSERT_NE(settings, nullptr);
    EXPECT_TRUE(settings->isVisible());
    QTest::keyRelease(settings, Qt::Key_F7);
    EXPECT_EQ(Window().SettingsDialog(), settings);
    EXPECT_EQ(Window().findChildren<MachineSettingsDialog*>().size(), 1) << "shown again, not made again";
}

TEST_F(MainWindowDialogs, CtrlF11AndTheSetButtonOpenTheSettingsDialogAndEscDoesNotCloseTheWindow) {
    OpenSynchronised();
    Window().show();
    QTest::keyClick(&Ctl<QSlider>(1106), Qt::Key_F11);
    EXPECT_EQ(Window().SettingsDialog(), nullptr) << "F11 alone does nothing";
    QTest::keyClick(&Ctl<QSlider>(1106), Qt::Key_F11, Qt::ControlModifier);
    QPointer<MachineSettingsDialog> settings = Window().SettingsDialog();
    ASSERT_FALSE(settings.isNull());
    settings->reject();
    EXPECT_TRUE(QTest::qWaitFor([&] { return settings.isNull(); }, kDeadlineMs)) << "closing deletes it";
    EXPECT_EQ(Window().SettingsDialog(), nullptr);

    Ctl<QAbstractButton>(1041).click();
    EXPECT_NE(Window().SettingsDialog(), nullptr);

    QTest::keyClick(&Window(), Qt::Key_Escape);
    QTest::keyClick(&Ctl<QSlider>(1106), Qt::Key_Escape);
    Drain();
    EXPECT_TRUE(Window().isVisible());
}

TEST_F(MainWindowDialogs, TheSettingsDialogFollowsApplyTheLanguageAndSynchronisations) {
    OpenSynchronised(1, [](VirtualAmp& amp) {
        VirtualAmpState state = amp.State();
        state.machine = {1, 0xFF, 18, 36, 36, 36, 36, 0, 0, 0x5A, 0x01};
        ASSERT_TRUE(amp.SetState(state));
        SetDeviceValue(amp, pos::MicVol, 30);
    });
    Window().OpenSettingsDialog();
    MachineSettingsDialog* settings = Window().SettingsDialog();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(In<QLabel>(settings, 2000).text(), "Invalid");

    Ctl<QAbstractButton>(1019).click();
    EXPECT_EQ(In<QLabel>(settings, 2000).text(), "无效");
    EXPECT_EQ(settings->windowTitle(), "设置");
    EXPECT_EQ(In<QAbstractButton>(settings, 1097).text(), "保存设置");

    auto& maxMic = In<QSlider>(settings, 2020);
    while (maxMic.value() > 20) {
        QTest::keyClick(&maxMic, Qt::Key_Left);
    }
    In<QAbstractButton>(settings, 1097).click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Window().NoticeText() == "保存设置成功!"; }, kDeadlineMs))
        << "told once the settings went out";
    EXPECT_EQ(Amp().Machine()[3], 20);
    EXPECT_EQ(Ctl<QSlider>(1106).maximum(), 20) << "the mic master volume is limited at once";
    EXPECT_EQ(Ctl<QSlider>(1106).value(), 20);
    EXPECT_EQ(ShownValue("MicVol"), "30") << "the volume itself stays";
    EXPECT_EQ(StoreValue(pos::MicVol), 30);

    // A synchronisation replaces the settings: the open dialog shows the device's.
    VirtualAmpState state = Amp().State();
    state.machine = {0, 10, 0xFF, 25, 36, 36, 36, 1, 0x01, 0x5A, 0x01};
    ASSERT_TRUE(Amp().SetState(state));
    Session().SynchronizeData(false);
    ASSERT_TRUE(WaitForSyncs(2));
    EXPECT_EQ(In<QLabel>(settings, 2000).text(), "10");
    EXPECT_TRUE(In<QSlider>(settings, 2018).isEnabled());
    EXPECT_EQ(In<QLabel>(settings, 2001).text(), "无效");
    EXPECT_EQ(maxMic.value(), 25);
    EXPECT_EQ(In<QLabel>(settings, 2002).text(), "25");
    EXPECT_TRUE(In<QAbstractButton>(settings, 1083).isChecked());
    EXPECT_TRUE(In<QAbstractButton>(settings, 1084).isChecked());
    EXPECT_TRUE(In<QAbstractButton>(settings, 1101).isChecked());
    EXPECT_EQ(Ctl<QSlider>(1106).maximum(), 25);

    // Settings read while the dialog is open count when it closes.
    state.machine[3] = 15;
    ASSERT_TRUE(Amp().SetState(state));
    Session().GetMachineSet().Machine_ReadAll();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Session().GetMachineSet().Saved(MachineField::MaxMicVol) == 15; }, kDeadlineMs));
    EXPECT_EQ(Ctl<QSlider>(1106).maximum(), 25);
    settings->reject();
    EXPECT_EQ(Ctl<QSlider>(1106).maximum(), 15);
}

TEST_F(MainWindowDialogs, TheAboutBoxShowsTheFirmwareDateAndOnRequestTheModelNameInTheWindowsLanguage) {
    struct Seen {
        QString title, software, hardware, afterF12, afterCtrlShiftF12, caption, ok;
        bool signalFlow = false;
        std::vector<std::string> layout;
    };
    const auto look = [this] {
        Seen seen;
        const auto inside =
            When([] { return ModalOf<AboutDialog>() != nullptr; },
                 [&seen] {
                     AboutDialog* about = ModalOf<AboutDialog>();
                     seen.title = about->windowTitle();
                     seen.software = In<QLabel>(about, AboutDialog::kSoftwareVersionId).text();
                     seen.hardware = In<QLabel>(about, 1106).text();
                     seen.caption = In<QLabel>(about, AboutDialog::kSignalFlowTitleId).text();
                     seen.ok = In<QAbstractButton>(about, 1).text();
                     QTest::keyClick(about, Qt::Key_F12);
                     seen.afterF12 = In<QLabel>(about, 1107).text();
                     QTest::keyClick(about, Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
                     seen.afterCtrlShiftF12 = In<QLabel>(about, 1107).text();
                     seen.layout = LayoutProblems(*about);
                     const auto pictures = about->findChildren<QLabel*>();
                     seen.signalFlow = std::any_of(pictures.begin(), pictures.end(), [](QLabel* l) {
                         return l->pixmap().size() == QSize(812, 409) && l->size() == QSize(812, 409);
                     });
                     In<QAbstractButton>(about, 1).click();
                 });
        Ctl<QAbstractButton>(1018).click();
        return seen;
    };

    struct Case {
        int language;
        const char* title;
        const char* software;
        const char* hardware;
        const char* model;
        const char* caption;
        const char* ok;
    };
    for (const Case& c : {Case{0, "关于 Varnoth", "软件版本:2012-02-20", "硬件版本:2011-11-28",
                               "机器名称:VQ317X", "内部处理流程示意图", "确定"},
                          Case{1, "About Varnoth", "Software: 2012-02-20", "Firmware: 2011-11-28",
                               "Model: VQ317X", "Internal signal flow", "OK"}}) {
        SCOPED_TRACE(c.language == 0 ? "Chinese" : "English");
        OpenSynchronised(c.language);
        const Seen connected = look();
        EXPECT_EQ(connected.title, QString::fromUtf8(c.title));
        EXPECT_EQ(connected.software, QString::fromUtf8(c.software));
        EXPECT_EQ(connected.hardware, QString::fromUtf8(c.hardware));
        EXPECT_EQ(connected.afterF12, "");
        EXPECT_EQ(connected.afterCtrlShiftF12, QString::fromUtf8(c.model));
        EXPECT_EQ(connected.caption, QString::fromUtf8(c.caption));
        EXPECT_EQ(connected.ok, QString::fromUtf8(c.ok));
        EXPECT_TRUE(connected.signalFlow);
        EXPECT_EQ(connected.layout, std::vector<std::string>{}) << "texts that do not fit";

        Provider().Unplug();
        Drain();
        const Seen disconnected = look();
        EXPECT_EQ(disconnected.hardware, "");
        EXPECT_EQ(disconnected.afterCtrlShiftF12, "");
        Close();
    }
}

TEST_F(MainWindowDialogs, TheResetDialogResetsAModeOverItselfAndAsksForTheUpgradeDialog) {
    OpenSynchronised();
    QWidget* reset = nullptr;
    bool syncedOverIt = false;
    const auto inside = When([] { return ModalOf<OtherFunctionsDialog>() != nullptr; },
                             [&] {
                                 reset = Modal();
                                 const auto over =
                                     When([&] { return ModalOf<SyncProgressDialog>() != nullptr; },
                                          [&] { syncedOverIt = Modal()->parentWidget() == reset; });
                                 In<QAbstractButton>(reset, 1010).click();  // M3
                                 EXPECT_TRUE(QTest::qWaitFor([&] { return m_syncs == 2; }, kDeadlineMs));
                                 In<QAbstractButton>(reset, 1038).click();  // Upgrade
                                 ModalOf<QDialog>()->reject();
                             });
    Ctl<QAbstractButton>(1042).click();
    WaitUntilSent();
    EXPECT_EQ(Amp().CurrentMode(), 2);
    EXPECT_EQ(m_syncs, 2);
    EXPECT_TRUE(syncedOverIt);
    EXPECT_TRUE(Ctl<ImageButton>(1002).AltState());
    ASSERT_EQ(m_upgradeOwners.size(), 1u);
    EXPECT_EQ(m_upgradeOwners[0], reset) << "the upgrade dialog belongs to the reset dialog";
    EXPECT_EQ(Window().CurrentUpgradeDialog(), nullptr);
}

TEST_F(MainWindowDialogs, AfterResetMachineThePanelReadsBackAndShowsWhatTheAmplifierNowHolds) {
    OpenSynchronised(1, [](VirtualAmp& amp) {
        VirtualAmpState state = amp.State();
        state.machine = {1, 20, 20, 10, 20, 20, 20, 1, 0x3F, 0, 0};
        ASSERT_TRUE(amp.SetState(state));
    });
    ASSERT_EQ(Ctl<QSlider>(mainwin::kMicVolSlider).maximum(), 10);
    const int syncsBefore = m_syncs;
    bool progressShown = false;
    const auto inside =
        When([] { return ModalOf<OtherFunctionsDialog>() != nullptr; },
             [&] {
                 QWidget* reset = Modal();
                 const auto progress = When([] { return ModalOf<SyncProgressDialog>() != nullptr; },
                                            [&] { progressShown = true; });
                 In<QAbstractButton>(reset, 1111).click();
                 EXPECT_TRUE(QTest::qWaitFor([&] { return m_syncs == syncsBefore + 1; }, kDeadlineMs));
                 ModalOf<QDialog>()->reject();
             });
    Ctl<QAbstractButton>(1042).click();
    ASSERT_EQ(m_questions.size(), 1u) << "the window's question, answered Yes";
    EXPECT_EQ(m_questions[0].text, "Reset the machine to its factory settings?");
    EXPECT_TRUE(progressShown);
    EXPECT_EQ(m_syncs, syncsBefore + 1);
    const sim::MachineRecord factory = sim::FactoryMachineRecord();
    EXPECT_EQ(Session().GetMachineSet().GetSavedRecord(), factory);
    EXPECT_EQ(Ctl<QSlider>(mainwin::kMicVolSlider).maximum(), factory[3])
        << "the limits the amplifier now has";
}

// A memory mode reset on the amplifier holds what its read-back brings: it becomes the mode the settings are
// compared with; a machine reset leaves no mode known.
TEST_F(MainWindowDialogs, AModeResetIsTheModeComparedWithAndAMachineResetForgetsIt) {
    OpenSynchronised();
    Ctl<QAbstractButton>(1000).click();  // load M1
    ASSERT_TRUE(WaitForSyncs(2));
    Drag(2100, 127 - 90);
    const auto inside = When([] { return ModalOf<OtherFunctionsDialog>() != nullptr; },
                             [&] {
                                 QWidget* reset = Modal();
                                 In<QAbstractButton>(reset, 1010).click();  // M3
                                 EXPECT_TRUE(QTest::qWaitFor([&] { return m_syncs == 3; }, kDeadlineMs));
                                 EXPECT_EQ(Window().Modes().Mode(), 2);
                                 EXPECT_FALSE(Window().Modes().IsModified());
                                 In<QAbstractButton>(reset, 1111).click();  // Reset Machine, answered Yes
                                 EXPECT_TRUE(QTest::qWaitFor([&] { return m_syncs == 4; }, kDeadlineMs));
                                 ModalOf<QDialog>()->reject();
                             });
    Ctl<QAbstractButton>(1042).click();
    EXPECT_EQ(m_syncs, 4);
    EXPECT_EQ(Window().Modes().Mode(), ModeChanges::kNoMode);
    EXPECT_TRUE(m_modeQuestions.empty());
}

TEST_F(MainWindowDialogs, ARemoteKeyIsStudiedAndTheDevicesReplyReachesTheStudyDialog) {
    OpenSynchronised(0);
    QString prompt;
    QString code;
    int studying = -1;
    bool pressed = false;
    bool studied = false;
    const auto inReset = When([] { return ModalOf<OtherFunctionsDialog>() != nullptr; },
                              [] { In<QAbstractButton>(Modal(), 1037).click(); });
    const auto inRemote = When([] { return ModalOf<RemoteLearningDialog>() != nullptr; },
                               [] { In<QAbstractButton>(Modal(), 1600).click(); });
    const auto inStudy = When([] { return ModalOf<KeyLearningDialog>() != nullptr; },
                              [&] {
                                  prompt = In<QLabel>(Modal(), KeyLearningDialog::kPromptId).text();
                                  WaitUntilSent();
                                  studying = Amp().StudyingKey();
                                  pressed = Amp().PressRemoteKey(0x20, 0x1C);
                              });
    const auto learnt = When(
        [] {
            return ModalOf<KeyLearningDialog>() != nullptr &&
                   !In<QLineEdit>(Modal(), KeyLearningDialog::kCodeId).text().isEmpty();
        },
        [&] {
            code = In<QLineEdit>(Modal(), KeyLearningDialog::kCodeId).text();
            studied = true;
        });
    const auto closeRemote = When([&] { return studied && ModalOf<RemoteLearningDialog>() != nullptr; },
                                  [] { ModalOf<QDialog>()->reject(); });
    const auto closeReset = When([&] { return studied && ModalOf<OtherFunctionsDialog>() != nullptr; },
                                 [] { ModalOf<QDialog>()->reject(); });
    const ModalWatchdog watchdog;
    Ctl<QAbstractButton>(1042).click();

    EXPECT_FALSE(watchdog.Fired()) << "the study dialog did not close by itself";
    EXPECT_EQ(prompt, "您正在学习的键：载入模式二");
    EXPECT_EQ(studying, 2) << "StudyKey carries the key index";
    EXPECT_TRUE(pressed);
    EXPECT_EQ(code, "1C");
    const RemoteCodes::Record record = Session().GetRemote().GetRecord();
    EXPECT_EQ(record[0], 0x20);
    EXPECT_EQ(record[2], 0x1C);
}

TEST_F(MainWindowDialogs, AGuidedUpgradeInUpgradeModeEndsWithTheCompletionNotice) {
    m_fakeUpgradeDialog = false;
    QString question;
    const auto asked = AnswerQuestion(QMessageBox::No, &question);
    const ModalWatchdog watchdog;
    Open("upgrade", 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Window().NoticeText().isEmpty(); }, kDeadlineMs));
    EXPECT_FALSE(watchdog.Fired());
    ASSERT_EQ(m_questions.size(), 1u);
    EXPECT_EQ(m_questions[0].text, "机器为升级模式，是否升级?");
    EXPECT_EQ(question, "") << "the dialog does not ask again";
    EXPECT_EQ(Window().NoticeText(), "升级完成，请重启设备!");
    EXPECT_EQ(Window().CurrentUpgradeDialog(), nullptr) << "the notice closes the dialog";

    const std::span<const std::uint8_t> image = TestFirmwareImage();
    std::vector<std::uint8_t> expected(image.begin(), image.end());
    expected[1] = 0xF1;
    expected[2] = 0x88;
    EXPECT_EQ(Amp().Flash().Image(0xE400), expected) << "the whole image reached the flash";
    Close();
    EXPECT_EQ(Amp().PcControl().lastFarewell, op::UpgradeExit);
}

// Whichever way the user meets the amplifier in upgrade mode, the upgrade is asked for once, through the
// window, and a Yes sends the carried image to its end.
TEST_F(MainWindowDialogs, EveryRoadIntoUpgradeModeAsksOnceAndAYesUpgrades) {
    struct Road {
        const char* name;
        const char* scenario;
        // What the user does once the window is open; the questions count from its start.
        std::function<void()> go;
        const char* question;
    };
    const Road roads[] = {
        {"found in upgrade mode at start", "upgrade", [] {},
         "The amplifier is in upgrade mode. Upgrade its firmware now?"},
        {"switched into upgrade mode while the upgrade dialog is open", "normal",
         [this] {
             ASSERT_TRUE(WaitForSyncs(1));
             const auto restart = When([] { return ModalOf<UpgradeDialog>() != nullptr; },
                                       [this] {
                                           Provider().Unplug();
                                           Amp().SetUpgradeMode(true);
                                           Provider().Plug();
                                       });
             Window().OpenUpgradeDialog(&Window());
         },
         "The amplifier is in upgrade mode. Upgrade its firmware now?"},
        {"the upgrade dialog opened over an amplifier in upgrade mode", "upgrade",
         [this] {
             m_answer = false;
             ASSERT_TRUE(QTest::qWaitFor([&] { return !m_questions.empty(); }, kDeadlineMs));
             m_answer = true;
             m_questions.clear();
             Window().OpenUpgradeDialog(&Window());
         },
         "Upgrade the amplifier's firmware now?"},
    };
    m_fakeUpgradeDialog = false;
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        const ModalWatchdog watchdog;
        m_answer = true;
        Open(road.scenario);
        road.go();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !Window().NoticeText().isEmpty(); }, kDeadlineMs));
        EXPECT_FALSE(watchdog.Fired());
        ASSERT_EQ(m_questions.size(), 1u) << "asked once";
        EXPECT_EQ(m_questions[0].text.toStdString(), road.question);
        EXPECT_EQ(Window().NoticeText(), "Upgrade finished, please restart the device!");
        EXPECT_TRUE(Session().LastUpgradeResult().sent) << Session().LastUpgradeResult().message;
        Close();
    }
}

TEST_F(MainWindowDialogs, TheWindowStaysWhileTheAmplifierIsWrittenAndAQuitRequestWaitsForTheTransfer) {
    m_fakeUpgradeDialog = false;
    const auto yes = AnswerQuestion(QMessageBox::Yes);
    const ModalWatchdog watchdog;
    bool closed = false;
    bool refused = false;
    unsigned farewellsMidTransfer = 1;
    const auto midTransfer = When([&] { return Session().GetUpProgress() > 0; },
                                  [&] {
                                      Window().close();
                                      refused = !closed && Session().IsUpgrading();
                                      farewellsMidTransfer = Amp().PcControl().farewells;
                                      Window().CloseWhenSafe();
                                  });
    ASSERT_TRUE(OpenSlowUpgradeUntilClosed(closed));
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_TRUE(refused) << "the close box does not close the window mid-transfer";
    ASSERT_EQ(m_warnings.size(), 1u) << "the close box is explained once; the quit request waits silently";
    EXPECT_EQ(m_warnings[0].text.toStdString(),
              "Upgrading: the machine's program is being written. Do not close this window or unplug the USB "
              "cable!");
    EXPECT_EQ(farewellsMidTransfer, 0u) << "no farewell in the middle of a transfer";
    EXPECT_TRUE(Session().LastUpgradeResult().sent) << Session().LastUpgradeResult().message;
    EXPECT_TRUE(Amp().Flash().Written(0xE400)) << "the transfer ended with its closing pair";
    EXPECT_EQ(Amp().PcControl().lastFarewell, op::UpgradeExit) << "the farewell came after the transfer";
}

// A quit request during a transfer waits for its end without a person: a message left open over the upgrade
// dialog (why it may not close) goes at once, the dialog stays while the amplifier is written, and the window
// closes when the transfer has ended.
TEST_F(MainWindowDialogs, AQuitRequestDuringATransferClosesTheMessageOverTheUpgradeDialogAtOnce) {
    m_fakeUpgradeDialog = false;
    const auto yes = AnswerQuestion(QMessageBox::Yes);
    const ModalWatchdog watchdog;
    bool closed = false;
    bool messageEndedMidTransfer = false;
    bool dialogStayed = false;
    const auto midTransfer = When([&] { return Session().GetUpProgress() > 0; },
                                  [&] {
                                      QMessageBox message(QMessageBox::Warning, QStringLiteral("Upgrading"),
                                                          QStringLiteral("Do not close this window"),
                                                          QMessageBox::Ok, Window().CurrentUpgradeDialog());
                                      QTimer::singleShot(0, &message, [&] { Window().CloseWhenSafe(); });
                                      message.exec();
                                      messageEndedMidTransfer = Session().IsUpgrading();
                                      dialogStayed = Window().CurrentUpgradeDialog() != nullptr &&
                                                     Window().CurrentUpgradeDialog()->isVisible();
                                  });
    ASSERT_TRUE(OpenSlowUpgradeUntilClosed(closed));
    EXPECT_FALSE(watchdog.Fired()) << "a dialog waited for a person";
    EXPECT_TRUE(messageEndedMidTransfer) << "the message went before the transfer ended";
    EXPECT_TRUE(dialogStayed) << "the upgrade dialog stays while the amplifier is written";
    EXPECT_TRUE(Session().LastUpgradeResult().sent) << Session().LastUpgradeResult().message;
    EXPECT_EQ(Amp().PcControl().lastFarewell, op::UpgradeExit) << "the farewell came after the transfer";
}

}  // namespace
}  // namespace varnoth::test
