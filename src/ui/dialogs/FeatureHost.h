// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <chrono>

class QWidget;

namespace varnoth {

class KeyLearningDialog;

// The pacing of the feature dialogs. The defaults are the program's; tests shorten them.
struct FeatureDialogTiming {
    std::chrono::milliseconds studyCloseDelay{600};  // key-studying dialog: from the learnt code to closing
    std::chrono::milliseconds upgradeFirstLook{
        100};                                    // upgrade dialog: from opening to the upgrade-mode check
    std::chrono::milliseconds upgradePoll{100};  // upgrade dialog: progress refresh
};

// What the feature dialogs need from the main window. All calls come on the user-interface thread.
class FeatureHost {
  public:
    virtual ~FeatureHost() = default;

    // The current language: 0 Chinese, 1 English.
    virtual int Language() const = 0;

    // A question with Yes and No over `over`: true on Yes. The standard one is a message box with a question
    // icon; the main window asks through its own hook.
    virtual bool Ask(QWidget& over, const QString& caption, const QString& text);

    // The self-closing notice, shown for periodMs.
    virtual void ShowNotice(const QString& text, int periodMs) = 0;

    // Runs the synchronisation progress dialog modally over `over` and returns when it has ended; returns at
    // once when one is already showing. The main window closes it when the read-all reports.
    virtual void ShowSyncDialog(QWidget* over) = 0;

    // Sets the master volume sliders' ranges from the saved machine settings (after APPLY and when the
    // settings dialog closes).
    virtual void ReLimitMasterVolumes() = 0;

    // The key-studying dialog while it runs, nullptr when it has ended: the main window passes it every
    // learnt key code (KeyLearningDialog::OnKeyStudied).
    virtual void SetStudyDialog(KeyLearningDialog* dialog) = 0;

    // The upgrade dialog, asked for by the reset dialog or the menu: when one exists nothing happens;
    // otherwise the main window creates a UpgradeDialog owned by `owner`, keeps it while it runs modally
    // (passing it arrivals, removals and the end of a transfer) and deletes it when it ends.
    virtual void OpenUpgradeDialog(QWidget* owner) = 0;

    virtual FeatureDialogTiming Timing() const { return {}; }

    // Memory mode 0..3, or every mode with -1, has been reset on the amplifier; its read-back follows.
    virtual void ModesReset(int mode) { static_cast<void>(mode); }
};

}  // namespace varnoth
