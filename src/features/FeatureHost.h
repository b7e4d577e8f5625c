#pragma once

#include <QString>

#include <chrono>

class QWidget;

namespace varnoth {

class CRemoteStudyDlg;
class CUpgradeDlg;

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

    // The self-closing notice, shown for periodMs.
    virtual void ShowNotice(const QString& text, int periodMs) = 0;

    // Runs the synchronisation progress dialog modally over `over` and returns when it has ended; returns at
    // once when one is already showing. The main window closes it when the read-all reports.
    virtual void ShowSyncDialog(QWidget* over) = 0;

    // Sets the master volume sliders' ranges from the saved machine settings (after APPLY and when the
    // settings dialog closes).
    virtual void ReLimitMasterVolumes() = 0;

    // The dialogs that receive the session's notifications: the key-studying dialog while it runs (the main
    // window passes it every learnt key code), and the upgrade dialog while it exists (the main window
    // passes it arrivals, removals and the end of a transfer). nullptr clears.
    virtual void SetStudyDialog(CRemoteStudyDlg* dialog) = 0;
    virtual CUpgradeDlg* UpgradeDialog() const = 0;
    virtual void SetUpgradeDialog(CUpgradeDlg* dialog) = 0;

    virtual FeatureDialogTiming Timing() const { return {}; }
};

}  // namespace varnoth
