// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "../../device/TraceCapture.h"
#include "../dialogs/ModalHelpers.h"
#include "MainWindowFixture.h"
#include "device/Opcodes.h"
#include "ui/controls/LevelMeter.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/KeyLearningDialog.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/MainWindowTexts.h"
#include "ui/main/ModeChanges.h"

namespace varnoth::test {
namespace {

using MainWindowDevice = MainWindowTest;

bool Connected(DeviceSession& session) {
    return session.IsConnected();
}

TEST_F(MainWindowDevice, StartsDisconnectedWithoutADeviceAndSynchronisesWhenItArrives) {
    for (const int language : {1, 0}) {
        Open("normal", language, [this](VirtualAmp&) { Provider().Unplug(); });
        // Timer 1 has run and found nothing.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !Window().IsWaitingToConnect(); }, kDeadlineMs));
        EXPECT_FALSE(Connected(Session()));
        EXPECT_EQ(Text(1017), language == 0 ? "USB未连接" : "Disconnect");
        EXPECT_FALSE(Window().IsPollingLevels());

        Provider().Plug();
        ASSERT_TRUE(WaitForSyncs(1));
        EXPECT_TRUE(Connected(Session()));
        EXPECT_EQ(Text(1017), language == 0 ? "USB已连接" : "Connected");
        EXPECT_TRUE(Window().IsFeedingMeters());
        EXPECT_TRUE(QTest::qWaitFor([&] { return Window().IsPollingLevels(); }, kDeadlineMs));
        Close();
    }
}

TEST_F(MainWindowDevice, ASecondArrivalWhileConnectedDoesNothing) {
    OpenSynchronised();
    const TraceCapture trace;
    Window().DeviceSink()(true, "/dev/hidraw7");
    Window().DeviceSink()(true, SimProvider::kNormalPath);
    Drain();
    EXPECT_FALSE(trace.Contains("Start thread:SynchronizeData\n"));
    EXPECT_TRUE(Window().IsPollingLevels());
}

TEST_F(MainWindowDevice, RemovingAnotherDeviceChangesNothingAndRemovingTheAmplifierStopsPolling) {
    for (const int language : {1, 0}) {
        OpenSynchronised(language);
        ASSERT_TRUE(QTest::qWaitFor([&] { return Window().IsPollingLevels(); }, kDeadlineMs));
        Window().DeviceSink()(false, "/dev/hidraw9");
        Drain();
        EXPECT_TRUE(Connected(Session()));
        EXPECT_TRUE(Window().IsPollingLevels());
        EXPECT_EQ(Text(1017), language == 0 ? "USB已连接" : "Connected");

        Provider().Unplug();
        Drain();
        EXPECT_FALSE(Connected(Session()));
        EXPECT_FALSE(Window().IsPollingLevels());
        EXPECT_FALSE(Window().IsFeedingMeters());
        EXPECT_EQ(Text(1017), language == 0 ? "USB未连接" : "Disconnect");
        Close();
    }
}

TEST_F(MainWindowDevice, AnotherModelIsRefreshedThenDisconnectedWithTheFarewell) {
    Open("foreign", 1, [](VirtualAmp& amp) { SetDeviceValue(amp, pos::SubLevel, 99); });
    ASSERT_TRUE(WaitForSyncs(1));
    EXPECT_EQ(ShownValue("SubLevel"), "99") << "the store was refreshed before the check";
    ASSERT_EQ(m_warnings.size(), 1u);
    EXPECT_EQ(m_warnings[0].caption, "Error");
    EXPECT_EQ(m_warnings[0].text,
              "This amplifier is a model this program does not control; it has been disconnected!");
    EXPECT_TRUE(m_questions.empty());
    EXPECT_FALSE(Connected(Session()));
    EXPECT_EQ(Amp().PcControl().lastFarewell, op::UnLockMachine);
    EXPECT_EQ(Text(1017), "Disconnect");
    Drain();
    EXPECT_FALSE(Window().IsPollingLevels()) << "nothing left to poll";
    EXPECT_FALSE(Window().IsFeedingMeters());
}

TEST_F(MainWindowDevice, OlderFirmwareOffersTheUpgradeAfterEverySynchronisation) {
    m_answer = false;
    Open("old-firmware");
    ASSERT_TRUE(WaitForSyncs(1));
    ASSERT_EQ(m_questions.size(), 1u);
    EXPECT_EQ(m_questions[0].caption, "Upgrade");
    EXPECT_EQ(m_questions[0].text,
              "The amplifier's firmware is older than the one this program carries.\nUpgrade the amplifier "
              "with it?");
    EXPECT_EQ(m_upgradeDialogs, 0);
    EXPECT_TRUE(Connected(Session())) << "No leaves control as it is";

    m_answer = true;
    Session().SynchronizeData(false);
    ASSERT_TRUE(WaitForSyncs(2));
    EXPECT_EQ(m_questions.size(), 2u);
    EXPECT_EQ(m_upgradeDialogs, 1) << "Yes opens the upgrade dialog";
    EXPECT_EQ(Window().CurrentUpgradeDialog(), nullptr) << "and it has ended";
}

TEST_F(MainWindowDevice, NewerFirmwareIsQuestionedOncePerConnection) {
    Open("new-firmware");
    ASSERT_TRUE(WaitForSyncs(1));
    ASSERT_EQ(m_questions.size(), 1u);
    EXPECT_EQ(m_questions[0].caption, "Error");
    EXPECT_EQ(m_questions[0].text,
              "The amplifier's firmware is newer than this program knows; an update of this program is "
              "recommended.\nYes controls the amplifier anyway (which may cause unknown problems); No "
              "disconnects it.");
    EXPECT_TRUE(Connected(Session())) << "Yes keeps control";

    Session().SynchronizeData(false);
    ASSERT_TRUE(WaitForSyncs(2));
    EXPECT_EQ(m_questions.size(), 1u) << "asked once per connection";

    m_answer = false;
    Provider().Unplug();
    Provider().Plug();
    ASSERT_TRUE(WaitForSyncs(3));
    EXPECT_EQ(m_questions.size(), 2u) << "a new connection asks again";
    EXPECT_FALSE(Connected(Session())) << "No disconnects";
    EXPECT_EQ(Amp().PcControl().lastFarewell, op::UnLockMachine);
    EXPECT_EQ(Text(1017), "Disconnect");
    Drain();
    EXPECT_FALSE(Window().IsPollingLevels());
}

// A character of the Chinese script or its punctuation.
bool HasChinese(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x3000 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF);
    });
}

// What the window asks or tells about the amplifier it found is in the window's language: the English window
// shows no Chinese, the Chinese window the amplifier's own texts, exactly.
TEST_F(MainWindowDevice, TheQuestionsAndWarningsAboutTheAmplifierAreInTheWindowsLanguage) {
    struct Case {
        const char* scenario;
        bool question;  // a question, else a warning
        const char* caption;
        const char* text;
    };
    const Case cases[] = {
        {"upgrade", true, "升级", "机器为升级模式，是否升级?"},
        {"foreign", false, "错误", "机型与该软件不匹配,USB已断开!"},
        {"old-firmware", true, "升级",
         "软件与硬件版本不匹配(软件版本高于硬件)\r\n是否升级软件绑定的硬件程序?"},
        {"new-firmware", true, "错误",
         "软件与硬件版本不匹配(软件版本低于硬件),建议升级调音软件!\r\n"
         "选择\"是\"强行控制(容易引发未知问题),选择\"否\"断开连接！"},
    };
    m_answer = false;
    for (const Case& c : cases) {
        for (const int language : {0, 1}) {
            SCOPED_TRACE(std::string(c.scenario) + (language == 0 ? ", Chinese" : ", English"));
            Open(c.scenario, language);
            std::vector<Prompt>& said = c.question ? m_questions : m_warnings;
            ASSERT_TRUE(QTest::qWaitFor([&] { return !said.empty(); }, kDeadlineMs)) << "nothing was said";
            if (language == 0) {
                EXPECT_EQ(said[0].caption, QString::fromUtf8(c.caption));
                EXPECT_EQ(said[0].text, QString::fromUtf8(c.text));
            } else {
                EXPECT_FALSE(said[0].caption.isEmpty() || HasChinese(said[0].caption))
                    << said[0].caption.toStdString();
                EXPECT_FALSE(said[0].text.isEmpty() || HasChinese(said[0].text))
                    << said[0].text.toStdString();
            }
            Close();
        }
    }
}

TEST_F(MainWindowDevice, AnAmplifierInUpgradeModeIsOfferedTheUpgradeAndNeitherSynchronisedNorPolled) {
    const TraceCapture trace;
    Open("upgrade");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_questions.empty(); }, kDeadlineMs));
    EXPECT_EQ(m_questions[0].caption, "Upgrade");
    EXPECT_EQ(m_questions[0].text, "The amplifier is in upgrade mode. Upgrade its firmware now?");
    EXPECT_EQ(m_upgradeDialogs, 1);
    EXPECT_TRUE(Connected(Session()));
    EXPECT_EQ(Session().InUpgradeMode(), 1);
    EXPECT_FALSE(trace.Contains("Start thread:SynchronizeData\n"));
    EXPECT_FALSE(Window().IsFeedingMeters());
    EXPECT_FALSE(Window().IsPollingLevels());
    EXPECT_EQ(Text(1017), "Disconnect") << "the status stays as it was";

    Close();
    EXPECT_EQ(Amp().PcControl().lastFarewell, op::UpgradeExit);
}

TEST_F(MainWindowDevice, AnArrivalInUpgradeModeGoesToTheOpenUpgradeDialog) {
    Open("normal");
    ASSERT_TRUE(WaitForSyncs(1));
    MainWindowHooks hooks;
    hooks.question = [this](QWidget&, const QString& caption, const QString& text) {
        m_questions.push_back({caption, text});
        return true;
    };
    // The upgrade dialog stays open while the amplifier goes and comes back in upgrade mode.
    hooks.makeUpgradeDialog = [this](QWidget& owner) {
        auto dialog = std::make_unique<QDialog>(&owner);
        QTimer::singleShot(0, dialog.get(), [this] {
            Provider().Unplug();
            Amp().SetUpgradeMode(true);
            Provider().Plug();
        });
        return dialog;
    };
    hooks.upgradeDeviceGone = [this](QDialog&) { ++m_upgradeGone; };
    hooks.upgradeArrival = [this](QDialog& dialog) {
        ++m_upgradeArrivals;
        dialog.reject();
    };
    Window().SetHooks(std::move(hooks));
    QTimer::singleShot(0, &Window(), [this] { Window().OpenUpgradeDialog(&Window()); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_upgradeArrivals == 1; }, kDeadlineMs));
    EXPECT_EQ(m_upgradeGone, 1) << "the removal was shown in the dialog";
    EXPECT_EQ(m_questions.back().text, "The amplifier is in upgrade mode. Upgrade its firmware now?");
    Drain();
    EXPECT_EQ(Window().CurrentUpgradeDialog(), nullptr);
}

TEST_F(MainWindowDevice, TheEndOfATransferGoesToTheOpenUpgradeDialog) {
    OpenSynchronised();
    int done = 0;
    MainWindowHooks hooks;
    hooks.makeUpgradeDialog = [this](QWidget& owner) {
        auto dialog = std::make_unique<QDialog>(&owner);
        // The upgrade thread ends while the dialog runs.
        QTimer::singleShot(0, dialog.get(),
                           [this] { std::thread([this] { m_host->Events().OnUpgradeDone(); }).join(); });
        return dialog;
    };
    hooks.upgradeDone = [&](QDialog& dialog) {
        ++done;
        dialog.reject();
    };
    Window().SetHooks(std::move(hooks));
    Window().OpenUpgradeDialog(&Window());
    EXPECT_EQ(done, 1);
    EXPECT_EQ(Window().CurrentUpgradeDialog(), nullptr);

    std::thread([this] { m_host->Events().OnUpgradeDone(); }).join();
    Drain();
    EXPECT_EQ(done, 1) << "without an upgrade dialog the end is ignored";
}

TEST_F(MainWindowDevice, AStudiedKeyReachesTheStudyDialogBeforeTheReaderGoesOn) {
    OpenSynchronised();
    KeyLearningDialog study(QString(), Session().GetRemote(), 1, std::chrono::hours(1));
    Window().SetStudyDialog(&study);
    const auto shown = [&] { return FindControl<QLineEdit>(study, KeyLearningDialog::kCodeId)->text(); };
    // The reader hands the key over and waits until it has been handled.
    const auto studied = [&](std::uint8_t key) {
        std::atomic<bool> returned{false};
        std::thread reader([&] {
            m_host->Events().OnKeyStudied(key);
            returned = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return returned.load(); }, kDeadlineMs));
        reader.join();
    };
    studied(0x2A);
    EXPECT_EQ(shown(), "2A");

    Window().SetStudyDialog(nullptr);
    studied(0x2B);
    EXPECT_EQ(shown(), "2A") << "without a study dialog the key is ignored";
}

TEST_F(MainWindowDevice, TheMetersShowTheLevelsOfTheShownPath) {
    OpenSynchronised(
        1, [](VirtualAmp& amp) { amp.SetLevelClock([] { return std::chrono::milliseconds(1234); }); });
    const std::array<std::uint8_t, 4> levels = Amp().Levels();
    auto& meter1 = Ctl<LevelMeter>(1109);
    auto& meter2 = Ctl<LevelMeter>(1110);
    EXPECT_TRUE(QTest::qWaitFor([&] { return meter1.Value(0) == levels[0] && meter2.Value(0) == levels[1]; },
                                kDeadlineMs))
        << "microphone levels " << int{levels[0]} << ", " << int{levels[1]};
    Ctl<QAbstractButton>(1023).click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return meter1.Value(0) == levels[2] && meter2.Value(0) == levels[3]; },
                                kDeadlineMs))
        << "music levels " << int{levels[2]} << ", " << int{levels[3]};
}

TEST_F(MainWindowDevice, ASilentAmplifierLetsTheProgressDialogGiveUpWithItsNotice) {
    m_timing.sync.giveUp = std::chrono::milliseconds(100);
    Open("silent");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Window().NoticeText() == "Error, please reconnect the device"; },
                                kDeadlineMs))
        << "in the window's language";
    EXPECT_FALSE(Window().IsSyncing());
    EXPECT_EQ(m_syncs, 0) << "the read-all is still waiting for replies";
    EXPECT_TRUE(Window().IsFeedingMeters());
    EXPECT_TRUE(QTest::qWaitFor([&] { return Window().IsPollingLevels(); }, kDeadlineMs))
        << "the window goes on as connected";
}

TEST_F(MainWindowDevice, ASilentAmplifierIsShownNotAnsweringAndItsSynchronisationIsNoModelMismatch) {
    m_replyWait = std::chrono::milliseconds(20);
    m_timing.sync.giveUp = std::chrono::milliseconds(100);
    for (const int language : {1, 0}) {
        Open("silent", language);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return Text(1017) == (language == 0 ? "USB无响应" : "Not answering"); }, kDeadlineMs));
        ASSERT_TRUE(WaitForSyncs(1));
        EXPECT_EQ(Window().NoticeText(), QString::fromUtf8(mainwin::kSyncUnansweredNotice.In(language)));
        EXPECT_TRUE(m_warnings.empty()) << "called another model: " << m_warnings.front().text.toStdString();
        EXPECT_TRUE(Connected(Session()));
        Close();
    }
}

// A provider that finds the amplifier but may not open it.
class DeniedProvider : public TransportProvider {
  public:
    OpenResult Open(UsbIds, UsbIds) override {
        OpenResult result;
        result.foundDevice = true;
        result.failure = "Access to the amplifier at /dev/hidraw3 was denied.";
        return result;
    }
};

TEST_F(MainWindowDevice, AnAmplifierThatCannotBeOpenedIsExplainedOnce) {
    for (const int language : {1, 0}) {
        m_warnings.clear();
        Open("normal", language);
        Session().SetTransportProvider(std::make_shared<DeniedProvider>());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !Window().IsWaitingToConnect(); }, kDeadlineMs));
        Window().DeviceSink()(true, "/dev/hidraw3");
        Drain();
        ASSERT_EQ(m_warnings.size(), 1u) << "told again at the next arrival";
        EXPECT_EQ(m_warnings[0].caption, QString::fromUtf8(mainwin::kOpenFailedCaption.In(language)));
        EXPECT_EQ(m_warnings[0].text, "Access to the amplifier at /dev/hidraw3 was denied.");
        EXPECT_EQ(Text(1017), QString::fromUtf8(mainwin::kOpenFailedCaption.In(language)));
        Close();
    }
}

TEST_F(MainWindowDevice, ClosingSaysGoodbyeToTheDevice) {
    OpenSynchronised();
    const unsigned before = Amp().PcControl().farewells;
    Window().close();
    EXPECT_FALSE(Connected(Session()));
    EXPECT_EQ(Amp().PcControl().farewells, before + 1);
    EXPECT_EQ(Amp().PcControl().lastFarewell, op::UnLockMachine);
    EXPECT_FALSE(Window().IsPollingLevels());
}

// A request to end the program (SIGTERM) ends it while the user has a dialog open over the window: the
// dialogs are cancelled, innermost first, and the amplifier gets its farewell.
TEST_F(MainWindowDevice, AQuitRequestClosesTheWindowThroughTheDialogsOpenOverIt) {
    OpenSynchronised();
    Window().show();
    const unsigned before = Amp().PcControl().farewells;
    QDialog chooser(&Window());
    QMessageBox question(QMessageBox::Question, QStringLiteral("Load"), QStringLiteral("Sure?"),
                         QMessageBox::Yes | QMessageBox::No, &chooser);
    int answer = -1;
    // Without the cancelling the dialogs would wait for the user: they are let go later, and the checks fail.
    QTimer::singleShot(5000, &chooser, [&] {
        question.done(-2);
        chooser.done(-2);
    });
    QTimer::singleShot(0, &chooser, [&] {
        QTimer::singleShot(0, &Window(), [&] { Window().CloseWhenSafe(); });
        answer = question.exec();
    });
    EXPECT_EQ(chooser.exec(), QDialog::Rejected) << "the chooser was cancelled";
    EXPECT_EQ(answer, QMessageBox::No) << "the question was answered as its Escape does";
    EXPECT_FALSE(Window().isVisible());
    EXPECT_FALSE(Connected(Session()));
    EXPECT_EQ(Amp().PcControl().farewells, before + 1);
}

// A dialog that stays open (the synchronisation's progress) does not keep the window: it closes, and the
// connection it ends ends the dialog.
TEST_F(MainWindowDevice, AQuitRequestClosesTheWindowUnderADialogThatStays) {
    class Staying : public QDialog {
      public:
        using QDialog::QDialog;
        void reject() override {}
    };
    OpenSynchronised();
    Window().show();
    const unsigned before = Amp().PcControl().farewells;
    Staying progress(&Window());
    QTimer::singleShot(0, &progress, [&] {
        Window().CloseWhenSafe();
        progress.done(QDialog::Accepted);
    });
    progress.exec();
    EXPECT_FALSE(Window().isVisible());
    EXPECT_EQ(Amp().PcControl().farewells, before + 1);
}

// A quit request while a close by hand asks whether to leave the edits behind: the question is cancelled and
// the window closes all the same, asking nothing more, with the farewell.
TEST_F(MainWindowDevice, AQuitRequestWhileTheCloseAsksAboutTheEditsClosesTheWindow) {
    OpenSynchronised();
    Ctl<QAbstractButton>(1000).click();  // load M1: the edits are compared with it
    ASSERT_TRUE(WaitForSyncs(2));
    Drag(2100, 127 - 90);
    ASSERT_TRUE(Window().Modes().IsModified());
    int asked = 0;
    ModeChanges::Answer answer = ModeChanges::Answer::Save;
    Window().Modes().SetHooks({[&](QWidget& parent, const ModeChanges::Question& question) {
                                   ++asked;
                                   QMessageBox box(QMessageBox::Question, question.caption, question.text,
                                                   QMessageBox::Ok | QMessageBox::Cancel, &parent);
                                   QTimer::singleShot(0, &box, [&] { Window().CloseWhenSafe(); });
                                   answer = box.exec() == QMessageBox::Cancel ? ModeChanges::Answer::Cancel
                                                                              : ModeChanges::Answer::Save;
                                   return answer;
                               },
                               {}});
    bool finished = false;
    QObject::connect(&Window(), &QDialog::finished, [&] { finished = true; });
    const unsigned before = Amp().PcControl().farewells;
    const ModalWatchdog watchdog;
    Window().close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished; }, kDeadlineMs)) << "the window stayed";
    EXPECT_FALSE(watchdog.Fired()) << "the question waited for a person";
    EXPECT_EQ(asked, 1) << "asked once, by the close by hand";
    EXPECT_EQ(answer, ModeChanges::Answer::Cancel) << "the question was cancelled as its Escape does";
    EXPECT_EQ(Amp().PcControl().farewells, before + 1);
}

// The silent amplifier, and an edit of the mic gain it never acknowledges.
class QuitWithUndelivered : public MainWindowTest {
  protected:
    void SetUp() override {
        m_replyWait = std::chrono::milliseconds(20);
        m_timing.sync.giveUp = std::chrono::milliseconds(100);
        Open("silent");
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return Text(mainwin::kConnectionText) == "Not answering"; }, kDeadlineMs));
        ASSERT_TRUE(WaitForSyncs(1));
        Drag(2100, 127 - 40);
        QObject::connect(&Window(), &QDialog::finished, [this] { m_finished = true; });
    }

    bool m_finished = false;
};

constexpr char kUndelivered[] =
    "varnoth: The amplifier did not acknowledge these changes; they may not have reached it: mic gain\n";

// Told to end (SIGTERM, the end of the session), the window waits for nobody: the edits the amplifier never
// acknowledged are named on stderr, and no message box opens.
TEST_F(QuitWithUndelivered, AQuitRequestNamesThemOnStderrWithoutAMessageBox) {
    testing::internal::CaptureStderr();
    Window().CloseWhenSafe();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(m_finished);
    EXPECT_TRUE(m_warnings.empty()) << "a box was opened: " << m_warnings[0].text.toStdString();
    EXPECT_EQ(QString::fromStdString(said).count(kUndelivered), 1) << said;
}

// Closed by hand, the window names them in a message box as well. A quit request while that box shows
// closes it, and the close ends: nothing waits for the box's OK.
TEST_F(QuitWithUndelivered, AQuitRequestWhileTheClosingMessageShowsEndsTheClose) {
    bool boxShown = false;
    MainWindowHooks hooks;
    hooks.warning = [&](QWidget& parent, const QString& caption, const QString& text) {
        m_warnings.push_back({caption, text});
        QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, &parent);
        QTimer::singleShot(0, &box, [&] {
            boxShown = box.isVisible();
            Window().CloseWhenSafe();
        });
        box.exec();
    };
    Window().SetHooks(std::move(hooks));
    const ModalWatchdog watchdog;
    testing::internal::CaptureStderr();
    Window().close();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(watchdog.Fired()) << "the box waited for its OK";
    EXPECT_TRUE(boxShown);
    ASSERT_EQ(m_warnings.size(), 1u);
    EXPECT_EQ(m_warnings[0].caption, "Not delivered");
    EXPECT_TRUE(m_finished);
    EXPECT_FALSE(Connected(Session()));
    EXPECT_EQ(QString::fromStdString(said).count(kUndelivered), 1) << "said once, on stderr too\n" << said;
}

}  // namespace
}  // namespace varnoth::test
