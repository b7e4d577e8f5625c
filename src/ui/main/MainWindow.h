// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "session/ChangeFeed.h"
#include "session/StoreChanges.h"
#include "ui/dialogs/DialogTemplate.h"
#include "ui/dialogs/FeatureHost.h"
#include "ui/dialogs/SessionUpgrade.h"
#include "ui/dialogs/SyncProgressDialog.h"
#include "ui/main/DeviceEvents.h"

class QAbstractSlider;

class QMenu;

namespace varnoth {

class Announcer;
class DeviceFunctions;
class WindowMenus;
class EqGraph;
class CompressorCurve;
class Notice;
class MachineSettingsDialog;
class LevelMeter;
class KeyLearningDialog;
class SessionEvents;
class WindowUndo;
class ModeChanges;
class OfflineEdits;
class QuickResets;
class RemoteControlPanel;
class SessionHost;
class DeviceSession;
struct EqPoint;
namespace mainwin {
struct SliderEdit;
}

// The main window's timing; the defaults are the program's, tests shorten them.
struct MainWindowTiming {
    std::chrono::milliseconds timerPeriod{300};  // timers 1 (connect), 2 (meter feed), 3 (level polling)
    int meterPeriodMs = 50;                      // the level meters' decay
    SyncDialogTiming sync;
    FeatureDialogTiming features;
};

// What the main window asks of the user and the upgrade dialog it runs. A hook left empty gets the standard
// one: message boxes, the platform's file dialog and UpgradeDialog.
struct MainWindowHooks {
    // A message box with Yes and No and a question icon; true on Yes.
    std::function<bool(QWidget& parent, const QString& caption, const QString& text)> question;
    // A message box with OK and an exclamation icon.
    std::function<void(QWidget& parent, const QString& caption, const QString& text)> warning;
    // The file dialog of a mode data file, to save (save set) or to load: the chosen path, empty when the
    // user cancelled.
    std::function<QString(QWidget& parent, bool save)> chooseModeFile;

    // The firmware upgrade dialog (template 233), made by OpenUpgradeDialog and run modally; while it runs
    // the window tells it of an amplifier arriving in upgrade mode (the user has agreed to upgrade), of the
    // amplifier's removal and of the end of a transfer (the upgrade notification).
    std::function<std::unique_ptr<QDialog>(QWidget& owner)> makeUpgradeDialog;
    std::function<void(QDialog& upgradeDialog)> upgradeArrival;
    std::function<void(QDialog& upgradeDialog)> upgradeDeviceGone;
    std::function<void(QDialog& upgradeDialog)> upgradeDone;
};

// The main window: every DSP parameter of the device on one dialog (template 229), written to the device as
// it is edited and showing the session's store as it changes. In the panel it is the session's owner: it
// connects at start-up and when a device arrives, synchronises with the progress dialog,
// checks the model and firmware version, polls the levels and says goodbye to the device when closed. Its
// command buttons load, save and reset memory modes and mode data files, flatten the equalisers, switch the
// language and open the about box, the machine settings and the reset dialog; it is the feature dialogs'
// host and keeps one pointer to each of them while it is open. Its menu bar (WindowMenus) gives every command
// of the window, above the template's layout.
//
// Everything runs on the user-interface thread. The session's notifications reach it through the host's
// SessionEvents; device arrivals and removals through DeviceSink().
//
// The implementation is spread over MainWindow.cpp (construction, controls, texts and colours),
// MainWindowEdits.cpp (the edit handlers), MainWindowRefresh.cpp (the refresh routines),
// MainWindowDevice.cpp (connection, synchronisation, timers and device events) and
// MainWindowCommands.cpp (the command buttons, the keys and the feature dialogs).
class MainWindow : public QDialog, public FeatureHost {
    Q_OBJECT

  public:
    static constexpr int kTemplateNumber = 229;
    static const DialogTemplate& Template();

    // language: the stored setting; 0 Chinese, anything else English. The first connection attempt comes one
    // timer period after construction.
    MainWindow(SessionHost& host, int language, MainWindowTiming timing = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    void SetHooks(MainWindowHooks hooks);

    int Language() const override { return m_language; }
    // Applies the language's table to the window, then RefreshLanguageTexts.
    void ApplyLanguage(int language);

    // The control with this template ID, or a group's (WindowGroups.h), or nullptr.
    QWidget* Control(int id) const;
    // The widget the window's groups and top bar lie on: the window, or its scroll area's content.
    QWidget* Surface() const;
    template <class Widget>
    Widget* Control(int id) const {
        return qobject_cast<Widget*>(Control(id));
    }

    // The store into the controls (MainWindowRefresh.cpp). The controls learn of the store's changes from
    // its change signal; RefreshAll shows everything again, with the master volumes' ranges from the saved
    // machine settings.
    void RefreshAll();
    // Switches the graphic EQ to page 0..3 (centre, microphone, music, subwoofer).
    void ShowEqPage(int page);
    void RefreshLanguageTexts();

    // Device events.
    void SetStatus(int connected);
    // Where a device watcher reports arrivals and removals (any thread).
    DeviceEvents::Callback DeviceSink();

    // What the feature dialogs ask of the window.
    // The one-line self-closing notice.
    void ShowNotice(const QString& text, int periodMs) override;
    // Runs the progress dialog modally over `over` unless one runs; it ends on the synchronisation
    // notification or by its own time-out.
    void ShowSyncDialog(QWidget* over) override;
    // The master volume sliders' ranges from the saved machine settings, each at the store's value.
    void ReLimitMasterVolumes() override;
    void SetStudyDialog(KeyLearningDialog* dialog) override;
    // Runs the upgrade dialog modally, owned by `owner`, unless one runs.
    void OpenUpgradeDialog(QWidget* owner) override;
    // Asks through the window's question hook.
    bool Ask(QWidget& over, const QString& caption, const QString& text) override;
    FeatureDialogTiming Timing() const override { return m_timing.features; }
    void ModesReset(int mode) override;

    // Commands.
    // The command of a button (its template ID) as a click on it gives it: the buttons and the menu bar run
    // the window's commands here. Nothing for an ID without a command.
    void RunCommand(int id);
    // Reads everything from the amplifier again under the progress dialog, as after connecting; nothing
    // while none is connected, one in upgrade mode, or while a synchronisation runs.
    void Synchronise();
    // Creates the machine settings dialog unless it exists, and shows it.
    void OpenSettingsDialog();
    // The mode data file through the file dialog: 1 done, 0 cancelled, -1 failed (the user has been told).
    int SaveModeDataFile();
    int LoadModeDataFile();
    // Loads the mode data file at path as LOAD does with a chosen file (the question before losing edits,
    // the same messages, one undo step, the write-all), once the window is free for it: after the first
    // connection attempt and its synchronisation, while no other dialog is open. The path is the name's bytes
    // as the file system has them, in whatever encoding. Files given while one waits are loaded in turn.
    void OpenModeFile(const std::string& path);

    // The feature dialogs while they are open, else nullptr.
    MachineSettingsDialog* SettingsDialog() const;
    QDialog* CurrentUpgradeDialog() const { return m_upgradeDialog; }

    // State, for the commands and for tests.
    DeviceSession& Session() { return m_session; }
    int MicView() const { return m_micView; }
    int EqPage() const { return m_eqPage; }
    int RawValues() const { return m_rawValues; }
    bool IsSyncing() const { return m_syncing != 0; }
    bool IsWaitingToConnect() const { return m_connectTimer.isActive(); }
    bool IsFeedingMeters() const { return m_meterFeedTimer.isActive(); }
    bool IsPollingLevels() const { return m_levelPollTimer.isActive(); }
    // Whether the program has been told to end (CloseWhenSafe).
    bool QuitRequested() const { return m_quitRequested; }
    // The text of the notice window while it shows, else empty.
    QString NoticeText() const;
    // Tells a screen reader what just happened, away from the focus ("Undo: …", a list's new item).
    void Announce(const QString& message);
    const Announcer& Announcements() const { return *m_announcer; }
    // Undo and redo of the edits.
    WindowUndo& Undo() { return *m_undo; }
    // Whether the working set differs from its memory mode, and the question before it is left behind.
    ModeChanges& Modes() { return *m_modes; }
    // Ctrl+click and the groups' resets.
    QuickResets& Resets() { return *m_resets; }
    // The resets of a memory mode or the machine and the remote learning, over the window.
    DeviceFunctions& Functions() { return *m_functions; }
    // The "Remote control" entry and its server.
    RemoteControlPanel& Remote() { return *m_remote; }
    // The edits made while no amplifier is connected.
    OfflineEdits& Offline() { return *m_offline; }
    // A question with Yes and No through the window's hook: true on Yes.
    bool Ask(const QString& caption, const QString& text);

  signals:
    // A synchronisation notification has been handled: the controls show the store and the version check has
    // run.
    void synchronised(int direction);

  public slots:
    // The first show places the window where it was last closed and fits it to the screen, before the
    // window reaches the desktop: it opens in its place and at its size rather than moving there.
    void setVisible(bool visible) override;
    void accept() override;
    void reject() override;
    // A request to end the program (SIGTERM, SIGINT, the end of the desktop session): cancels the dialogs
    // open over the window and closes it as its close box does, but while a firmware transfer runs only once
    // it has ended. From then on nothing waits for a person: questions are answered No without being asked,
    // and what the window would tell in a message box goes to stderr. Asked while the window shows its last
    // message after a close by hand, it cancels that message and the close ends.
    void CloseWhenSafe();

  protected:
    // Refused with an explanation while a firmware transfer runs.
    void closeEvent(QCloseEvent* event) override;
    // Ctrl+F11 anywhere in the window opens the machine settings dialog.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A local file dropped onto the window is opened as a mode data file (OpenModeFile).
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QWidget* MakeControl(const ControlTemplate& control, QWidget* parent);
    void CacheControls();
    void InitControls();
    void SetUpColours();
    void ConnectEdits();
    void FillPresetLists();
    void PlaceOnScreen();
    void ScrollWhenLargerThan(QSize room);
    // The menu bar above the template's controls: they move down by its height and the window grows by it.
    void PlaceMenuBar(QWidget& bar, int height);

    // Edits (MainWindowEdits.cpp).
    void OnSliderScrolled(int id);
    void OnCheckBox(int id, bool on);
    void OnPresetChosen(int id, int index);
    void OnChannelButton(bool micView);
    void OnEqPoint(const EqPoint& point, int controlId);
    // The values a band held on graph controlId stands for: those of the bytes OnEqPoint writes for it.
    EqPoint HeldEqValues(const EqPoint& point, int controlId) const;
    // Every band of a panel that changed at once (a shift of all bands).
    void OnEqPoints(int controlId);
    void OnEqMenu(QMenu* menu, int controlId);
    // Copies the shown graphic EQ page's bands to another page: one edit of every band that differs.
    void CopyGraphicEq(int toPage);
    void SetText(int id, const QString& text);

    // The store into the controls (MainWindowRefresh.cpp).
    void OnStoreChanged();
    // Shows the changed positions (ChangeSet bits) in the controls bound to them.
    void ShowStore(const ChangeSet& changes);
    void ShowSlider(const mainwin::SliderEdit& edit);
    QString ValueText(const mainwin::SliderEdit& edit, std::uint8_t value) const;
    void ShowChannel();
    void ShowCompressor();
    void ShowPeq();
    void ShowGraphicEq();
    void MarkEqPageButton();
    void MarkModeButton();
    // The master volumes the amplifier turned itself (its keys, its remote) into the undo steps.
    void FollowVolumes();

    // Device events (MainWindowDevice.cpp).
    void OnConnectTimer();
    void Connect(bool fromTimer);
    void OnDeviceChange(bool arrived, const QString& path);
    void OnSyncDone(int direction);
    // The version check after a synchronisation, once the progress dialog has closed (without a pause: the
    // window never sleeps).
    void CheckVersion(int direction);
    void OnKeyStudied(int keyCode);
    void OnUpgradeDone();
    void OnAnsweringChanged(bool answering);
    // A connect attempt found the amplifier but could not open it: the window says why.
    void ShowOpenFailure();
    void FeedMeters();
    void PollLevels();
    // Whether the user holds a slider of the window.
    bool SliderHeld() const;
    bool Ask(const char* caption, const char* text);
    // agreed: the user has agreed to upgrade the amplifier found in upgrade mode.
    void OpenUpgradeDialog(QWidget* owner, bool agreed);
    // A message box with OK through the window's hook; on stderr instead once the program is told to end.
    void Warn(const QString& caption, const QString& text);
    // Closes the dialogs open over the window, innermost first, down to `keep` (or the window).
    void CancelDialogs(const QWidget* keep);
    // After the farewell: names the edits the amplifier never acknowledged, if any, on stderr and, closed
    // by hand, in a message box.
    void TellUndelivered();
    void StopLevelTimers();
    void DisconnectWithFarewell();

    // Commands (MainWindowCommands.cpp).
    void ConnectCommands();
    void OnLoadMode(int mode);
    void OnSaveMode(int mode);
    bool ModeLocked(bool save);
    void OnLoadFile();
    // The load of a mode data file: the named one, or without a path the one chosen in the file dialog.
    void LoadFile(const std::optional<std::string>& path);
    // Reads the file into the session: 1 done, -1 refused (the user has been told).
    int LoadModeFile(const std::string& path);
    // Opens the first file OpenModeFile was given once the window is free, and looks again later until then.
    void OpenWaitingFile();
    void OnSaveFile();
    void OnFlatEq();
    void OnFlatPeq();
    void OnDefaultMicEq();
    void OnSwitchLanguage();
    void OnAbout();
    void OnOther();
    void DefaultHooks();

    DeviceSession& m_session;
    SessionEvents& m_events;
    SessionUpgrade m_upgradeSession;
    MainWindowTiming m_timing;
    MainWindowHooks m_hooks;
    DeviceEvents m_deviceEvents;

    int m_language = 0;
    bool m_closeAfterUpgrade = false;
    // The program is told to end (CloseWhenSafe): nobody is asked anything any more.
    bool m_quitRequested = false;
    // Inside closeEvent, and inside the part of it that says goodbye to the amplifier (and may show the
    // last message).
    bool m_inCloseEvent = false;
    bool m_closing = false;
    int m_micView = 1;
    int m_eqPage = 1;
    int m_firstSync = 1;
    int m_rawValues = 0;
    bool m_placed = false;
    // The last synchronisation of this connection got no reply: the next answer starts another.
    bool m_syncUnanswered = false;
    // A synchronisation of this connection that lost the model name has been repeated once.
    bool m_syncRepeated = false;
    std::string m_shownOpenFailure;
    std::uint8_t m_syncing = 0;
    QPointer<SyncProgressDialog> m_syncDialog;
    QPointer<Notice> m_notice;
    QPointer<KeyLearningDialog> m_studyDialog;
    QPointer<MachineSettingsDialog> m_settingsDialog;
    QPointer<QDialog> m_upgradeDialog;

    std::unordered_map<int, QWidget*> m_controls;
    EqGraph* m_graphicPanel = nullptr;
    EqGraph* m_peqPanel = nullptr;
    CompressorCurve* m_compressPanel = nullptr;
    LevelMeter* m_meters[2] = {nullptr, nullptr};

    QTimer m_connectTimer;    // timer 1
    QTimer m_meterFeedTimer;  // timer 2
    QTimer m_levelPollTimer;  // timer 3
    // The mode data files given to OpenModeFile that wait for the window, and the look for a free moment.
    std::deque<std::string> m_filesToOpen;
    QTimer m_fileTimer;

    Announcer* m_announcer = nullptr;
    std::unique_ptr<WindowUndo> m_undo;
    std::unique_ptr<ModeChanges> m_modes;
    std::unique_ptr<QuickResets> m_resets;
    OfflineEdits* m_offline = nullptr;
    std::unique_ptr<RemoteControlPanel> m_remote;
    std::unique_ptr<DeviceFunctions> m_functions;
    WindowMenus* m_menus = nullptr;
    std::unordered_map<int, std::function<void()>> m_commands;
    // The window's cursor in the store's changes; last, so that its wakes stop first.
    std::unique_ptr<ChangeFeed::Subscription> m_storeChanges;
};

}  // namespace varnoth
