// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "ModalHelpers.h"
#include "device/sim/SimProvider.h"
#include "session/DeviceSession.h"
#include "session/SessionObserver.h"
#include "ui/dialogs/FeatureHost.h"
#include "ui/dialogs/KeyLearningDialog.h"
#include "ui/dialogs/UpgradeDialog.h"

namespace varnoth::test {

constexpr int kChinese = 0;
constexpr int kEnglish = 1;
constexpr int kDeadlineMs = 30000;

// Makes the language's table the active one, as the main window does when the language is applied.
void UseLanguage(int language);

// The main window as the feature dialogs see it: records what they ask of it.
class FakeHost : public FeatureHost {
  public:
    struct Notice {
        QString text;
        int periodMs;
    };

    int Language() const override { return language; }
    void ShowNotice(const QString& text, int periodMs) override { notices.push_back({text, periodMs}); }
    void ShowSyncDialog(QWidget* over) override;
    void ReLimitMasterVolumes() override { ++relimits; }
    void SetStudyDialog(KeyLearningDialog* dialog) override { study = dialog; }
    void OpenUpgradeDialog(QWidget* owner) override { upgradeRequestsFrom.push_back(owner); }

    FeatureDialogTiming Timing() const override { return timing; }

    QString LastNotice() const { return notices.empty() ? QString() : notices.back().text; }

    int language = kChinese;
    std::vector<Notice> notices;
    int relimits = 0;
    std::vector<QWidget*> syncDialogsOver;
    QPointer<KeyLearningDialog> study;
    std::vector<QWidget*> upgradeRequestsFrom;
    QPointer<UpgradeDialog> upgrade;  // the upgrade dialog the main window would hold
    FeatureDialogTiming timing;
};

// The main window's routing of the session's notifications: queued onto the user-interface thread (blocking
// for the learnt key, which the session sends), then passed to the dialog the host holds.
class UiObserver : public QObject, public SessionObserver {
  public:
    explicit UiObserver(FakeHost& host) : m_host(host) {}

    void OnKeyStudied(std::uint8_t keyCode) override;
    void OnSyncDone(int direction) override;
    void OnUpgradeDone() override;

    int syncsDone = 0;

  private:
    FakeHost& m_host;
};

// What the dialogs find when the user acts: an amplifier that answers, none, one waiting in upgrade mode, or
// one the session still holds whose link no longer takes reports.
enum class AmpState { Connected, Disconnected, UpgradeMode, WriteFails };
const char* NameOf(AmpState state);

// The virtual amplifier, a session connected to it and the host the dialogs talk to.
struct SimRig {
    // replyWait: how long the link waits for a reply that does not come (a dead link waits it per report).
    explicit SimRig(std::chrono::milliseconds replyWait = LinkTiming{}.replyWait);
    ~SimRig();

    bool Connect();
    // Brings the amplifier and the session into the state; commands return once queued, as in the window.
    bool Enter(AmpState state);
    // Lets what the dialogs queued go out and their outcomes arrive here.
    void Settle();
    // Reads the whole set from the device, as after connecting.
    void ReadAll() { session.ReadAll(); }
    // The dialogs' tables and the host in the language.
    void Speak(int language) {
        UseLanguage(language);
        host.language = language;
    }

    std::shared_ptr<SimProvider> provider = std::make_shared<SimProvider>();
    std::shared_ptr<VirtualAmp> amp = provider->Amp();
    FakeHost host;
    UiObserver observer{host};
    DeviceSession session;
};

// Runs the event loop until condition holds or the deadline passes; returns whether it holds.
bool WaitFor(const std::function<bool()>& condition, int deadlineMs = kDeadlineMs);

}  // namespace varnoth::test
