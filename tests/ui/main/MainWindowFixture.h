// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QLabel>
#include <QSlider>
#include <QString>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "device/sim/SimProvider.h"
#include "device/sim/VirtualAmp.h"
#include "session/MachineFieldTable.h"
#include "ui/main/EditRules.h"
#include "ui/main/MainWindow.h"
#include "ui/main/ModeChanges.h"
#include "ui/main/SessionHost.h"

namespace varnoth::test {

inline constexpr int kDeadlineMs = 60000;

struct Prompt {
    QString caption;
    QString text;
};

// The main window on the virtual amplifier, with fast timers, questions answered by the test and the
// upgrade dialog replaced by one that closes at once.
class MainWindowTest : public ::testing::Test {
  protected:
    void TearDown() override;

    // Opens the window on the amplifier in the scenario, after prepare has set it up further. The window
    // connects after its first timer tick.
    void Open(const std::string& scenario = "normal", int language = 1,
              const std::function<void(VirtualAmp&)>& prepare = {});
    // Open, then wait for the first synchronisation.
    void OpenSynchronised(int language = 1, const std::function<void(VirtualAmp&)>& prepare = {});
    // Opens it synchronised and shows it on the screen.
    void OpenShown(int language);
    // Waits until `count` synchronisations in all have been handled.
    bool WaitForSyncs(int count);
    // Lets queued events run: what was posted before the call has been handled when it returns.
    void Drain();
    void Close();

    MainWindow& Window() { return *m_window; }
    DeviceSession& Session() { return m_host->Session(); }
    VirtualAmp& Amp() { return *m_provider->Amp(); }
    SimProvider& Provider() { return *m_provider; }

    template <class Widget>
    Widget& Ctl(int id) {
        auto* widget = m_window->Control<Widget>(id);
        if (widget == nullptr) {
            ADD_FAILURE() << "no control " << id << " of that kind";
            throw std::runtime_error("missing control");
        }
        return *widget;
    }
    QString Text(int id) { return Ctl<QLabel>(id).text(); }

    // A slider of the window, addressed by its parameter's name (a path's slider by its microphone twin's).
    static const mainwin::SliderEdit& SliderOf(std::string_view parameter);
    // What the value label of the parameter's slider shows.
    QString ShownValue(std::string_view parameter) { return Text(SliderOf(parameter).valueLabel); }
    // The sliders that edit a store position: all but the mic-controls-sub setting's.
    static std::vector<mainwin::SliderEdit> StoreSliders();
    // Where a slider shows a value of its parameter: a vertical slider has the maximum at its bottom.
    static int PositionShowing(const QSlider& slider, const ParameterRef& parameter, int value);

    // Moves a slider to a position as a drag does, and lets the window show what the store then holds.
    void Drag(int id, int position);
    // The store's byte at a store position.
    std::uint8_t StoreValue(std::size_t position);
    // The window only queues its commands: waits until the link has sent them all.
    void WaitUntilSent();
    // The value the amplifier holds for a store position once the queue has gone out, as the store would
    // read it back.
    std::uint8_t DeviceValue(std::size_t position);
    // Sets a store position's register(s) on the amplifier to what the store value stands for.
    static void SetDeviceValue(VirtualAmp& amp, std::size_t position, std::uint8_t value);
    // Sets fields of the amplifier's machine settings.
    static void SetDeviceMachine(VirtualAmp& amp, std::initializer_list<std::pair<MachineField, int>> fields);

    // How long the link waits for each reply, for the next Open.
    std::chrono::milliseconds m_replyWait{800};
    // Whether the next Open keeps the view the last window was closed in; else it opens in the default view.
    bool m_keepView = false;
    // How often the level poll reads the master volumes too, for the next Open.
    std::chrono::milliseconds m_followInterval = LinkTiming{}.followInterval;
    // The window's timing for the next Open.
    MainWindowTiming m_timing = FastWindowTiming();
    static MainWindowTiming FastWindowTiming();

    std::shared_ptr<SimProvider> m_provider = std::make_shared<SimProvider>();
    std::unique_ptr<SessionHost> m_host;
    std::unique_ptr<MainWindow> m_window;
    int m_observer = 0;
    int m_syncs = 0;
    bool m_answer = true;
    std::vector<Prompt> m_questions;
    // Runs while a question is open, before it is answered: what the window shows behind it.
    std::function<void()> m_whileAsked;
    std::vector<Prompt> m_warnings;
    // The question before unsaved changes are left behind: what it asked, and the answer it gets.
    std::vector<ModeChanges::Question> m_modeQuestions;
    ModeChanges::Answer m_modeAnswer = ModeChanges::Answer::Discard;
    // The upgrade dialog: by default one that closes at once; the program's own when this is cleared.
    bool m_fakeUpgradeDialog = true;
    int m_upgradeDialogs = 0;
    std::vector<QWidget*> m_upgradeOwners;
    int m_upgradeArrivals = 0;
    int m_upgradeGone = 0;
    // What the file dialog of a mode data file returns, and what it was asked for (true: to save).
    QString m_chosenFile;
    std::vector<bool> m_fileDialogs;
};

}  // namespace varnoth::test
