// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"

#include <QCoreApplication>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <chrono>

#include "device/sim/SimScenario.h"
#include "session/RegisterMap.h"
#include "ui/main/UserSettings.h"

namespace varnoth::test {

namespace {

LinkTiming FastLink() {
    LinkTiming timing;
    timing.syncStartDelay = std::chrono::milliseconds(10);
    timing.syncTailPause = std::chrono::milliseconds(20);
    timing.upgradeStartDelay = std::chrono::milliseconds(10);
    return timing;
}

constexpr int kVolumeOffset = 40;

}  // namespace

MainWindowTiming MainWindowTest::FastWindowTiming() {
    MainWindowTiming timing;
    timing.timerPeriod = std::chrono::milliseconds(20);
    timing.meterPeriodMs = 3600 * 1000;  // the meters show exactly what they were given
    timing.sync.giveUp = std::chrono::milliseconds(kDeadlineMs);
    timing.features.upgradeFirstLook = std::chrono::milliseconds(10);
    timing.features.upgradePoll = std::chrono::milliseconds(10);
    timing.features.studyCloseDelay = std::chrono::milliseconds(10);
    return timing;
}

void MainWindowTest::TearDown() {
    Close();
}

void MainWindowTest::Open(const std::string& scenario, int language,
                          const std::function<void(VirtualAmp&)>& prepare) {
    m_syncs = 0;
    m_questions.clear();
    m_warnings.clear();
    m_modeQuestions.clear();
    m_fileDialogs.clear();
    m_upgradeDialogs = 0;
    m_upgradeOwners.clear();
    m_upgradeArrivals = 0;
    m_upgradeGone = 0;
    ASSERT_EQ(ApplySimScenario(scenario, *m_provider), "");
    if (prepare) {
        prepare(Amp());
    }
    LinkTiming link = FastLink();
    link.replyWait = m_replyWait;
    link.followInterval = m_followInterval;
    m_host = std::make_unique<SessionHost>(m_provider, link);
    if (!m_keepView) {
        UserSettings::Write(QLatin1String(UserSettings::kMicView), 1);
        UserSettings::Write(QLatin1String(UserSettings::kEqPage), 1);
    }
    m_window = std::make_unique<MainWindow>(*m_host, language, m_timing);
    MainWindowHooks hooks;
    hooks.question = [this](QWidget&, const QString& caption, const QString& text) {
        m_questions.push_back({caption, text});
        if (m_whileAsked) {
            m_whileAsked();
        }
        return m_answer;
    };
    hooks.warning = [this](QWidget&, const QString& caption, const QString& text) {
        m_warnings.push_back({caption, text});
    };
    hooks.chooseModeFile = [this](QWidget&, bool save) {
        m_fileDialogs.push_back(save);
        return m_chosenFile;
    };
    if (m_fakeUpgradeDialog) {
        hooks.makeUpgradeDialog = [this](QWidget& owner) {
            ++m_upgradeDialogs;
            m_upgradeOwners.push_back(&owner);
            auto dialog = std::make_unique<QDialog>(&owner);
            QTimer::singleShot(0, dialog.get(), &QDialog::reject);
            return dialog;
        };
        hooks.upgradeArrival = [this](QDialog&) { ++m_upgradeArrivals; };
        hooks.upgradeDeviceGone = [this](QDialog&) { ++m_upgradeGone; };
    }
    m_window->SetHooks(std::move(hooks));
    m_window->Modes().SetHooks({[this](QWidget&, const ModeChanges::Question& question) {
                                    m_modeQuestions.push_back(question);
                                    return m_modeAnswer;
                                },
                                [this](QWidget&, const QString& caption, const QString& text) {
                                    m_warnings.push_back({caption, text});
                                }});
    QObject::connect(m_window.get(), &MainWindow::synchronised, [this] { ++m_syncs; });
    m_observer = m_provider->AddObserver(m_window->DeviceSink());
}

void MainWindowTest::OpenSynchronised(int language, const std::function<void(VirtualAmp&)>& prepare) {
    Open("normal", language, prepare);
    ASSERT_TRUE(WaitForSyncs(1)) << "no synchronisation";
}

bool MainWindowTest::WaitForSyncs(int count) {
    return QTest::qWaitFor([&] { return m_syncs >= count; }, kDeadlineMs);
}

void MainWindowTest::Drain() {
    bool reached = false;
    QTimer::singleShot(0, [&] { reached = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return reached; }, kDeadlineMs));
}

void MainWindowTest::Close() {
    if (m_observer != 0) {
        m_provider->RemoveObserver(m_observer);
        m_observer = 0;
    }
    if (m_window) {
        m_window->Modes().AskNoMore();
        m_window->close();
    }
    m_window.reset();
    m_host.reset();
}

const mainwin::SliderEdit& MainWindowTest::SliderOf(std::string_view parameter) {
    for (const mainwin::SliderEdit& edit : mainwin::SliderEdits()) {
        if (edit.parameter.Name() == parameter) {
            return edit;
        }
    }
    ADD_FAILURE() << "no slider shows " << parameter;
    throw std::runtime_error("missing slider");
}

std::vector<mainwin::SliderEdit> MainWindowTest::StoreSliders() {
    std::vector<mainwin::SliderEdit> sliders;
    for (const mainwin::SliderEdit& edit : mainwin::SliderEdits()) {
        if (edit.parameter.Position() != kNotStored) {
            sliders.push_back(edit);
        }
    }
    return sliders;
}

int MainWindowTest::PositionShowing(const QSlider& slider, const ParameterRef& parameter, int value) {
    return slider.orientation() == Qt::Vertical ? parameter.param->max - value : value;
}

void MainWindowTest::Drag(int id, int position) {
    auto& slider = Ctl<QSlider>(id);
    if (slider.sliderPosition() == position) {
        // A drag that ends where it started still reports the position.
        slider.setValue(position == slider.minimum() ? slider.maximum() : slider.minimum());
    }
    slider.setSliderPosition(position);
    // The slider's label shows the value once the store has told the window of it.
    Drain();
}

std::uint8_t MainWindowTest::StoreValue(std::size_t position) {
    switch (position) {
        case pos::MicVol:
            return Session().Store().Value(pos::MicVol);
        case pos::MusicVol:
            return Session().Store().Value(pos::MusicVol);
        case pos::CenterVol:
            return Session().Store().Value(pos::CenterVol);
        case pos::SubVol:
            return Session().Store().Value(pos::SubVol);
        default:
            return Session().Store().GetFileBlock().at(position);
    }
}

void MainWindowTest::WaitUntilSent() {
    EXPECT_TRUE(Session().WaitUntilSent(std::chrono::milliseconds(kDeadlineMs)));
}

std::uint8_t MainWindowTest::DeviceValue(std::size_t position) {
    WaitUntilSent();
    const RegisterEntry& entry = StoreRegisterMap()[position];
    const std::uint8_t value = Amp().Register(entry.block, entry.index, entry.channel);
    return entry.rule == ValueRule::Volume ? static_cast<std::uint8_t>(value - kVolumeOffset) : value;
}

void MainWindowTest::OpenShown(int language) {
    OpenSynchronised(language);
    Window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
}

void MainWindowTest::SetDeviceMachine(VirtualAmp& amp,
                                      std::initializer_list<std::pair<MachineField, int>> fields) {
    VirtualAmpState state = amp.State();
    for (const auto& [field, value] : fields) {
        const MachineFieldRow& row = MachineFieldRowOf(field);
        state.machine[row.byte] = row.With(state.machine[row.byte], value);
    }
    amp.SetState(state);
}

void MainWindowTest::SetDeviceValue(VirtualAmp& amp, std::size_t position, std::uint8_t value) {
    const RegisterEntry& entry = StoreRegisterMap()[position];
    const auto reg =
        static_cast<std::uint8_t>(entry.rule == ValueRule::Volume ? value + kVolumeOffset : value);
    amp.SetRegister(entry.block, entry.index, entry.channel, reg);
    if (entry.stereo) {
        amp.SetRegister(entry.block, entry.index, static_cast<std::uint8_t>(entry.channel + 1), reg);
    }
}

}  // namespace varnoth::test
