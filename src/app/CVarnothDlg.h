#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>

#include "app/CDeviceEvents.h"
#include "features/CSynDlg.h"
#include "features/DialogTemplate.h"

class QAbstractSlider;

namespace varnoth {

class CEqPanel;
class CCompressPanel;
class CInfoDlg;
class CPeakMeterCtrl;
class CSessionEvents;
class CSessionHost;
class CVQ421Dll;
struct EqPoint;

// The main window's timing; the defaults are the program's, tests shorten them.
struct MainWindowTiming {
    std::chrono::milliseconds timerPeriod{300};  // timers 1 (connect), 2 (meter feed), 3 (level polling)
    std::chrono::milliseconds syncDonePause{
        100};                // after closing the progress dialog, before the version check
    int meterPeriodMs = 50;  // the level meters' decay
    SyncDialogTiming sync;
};

// What the main window asks of the user and of the dialogs attached to it from outside. The message boxes
// default to standard ones; a dialog hook left empty leaves that dialog out.
struct MainWindowHooks {
    // A message box with Yes and No and a question icon; true on Yes.
    std::function<bool(QWidget& parent, const QString& caption, const QString& text)> question;
    // A message box with OK and an exclamation icon.
    std::function<void(QWidget& parent, const QString& caption, const QString& text)> warning;

    // The firmware upgrade dialog (template 233), made by OpenUpgradeDialog and run modally; while it runs
    // the window tells it of an amplifier arriving in upgrade mode (the user has agreed to upgrade) and of
    // the amplifier's removal.
    std::function<std::unique_ptr<QDialog>(QWidget& owner)> makeUpgradeDialog;
    std::function<void(QDialog& upgradeDialog)> upgradeArrival;
    std::function<void(QDialog& upgradeDialog)> upgradeDeviceGone;
    // The key-studying dialog, while one is registered (SetStudyDialog): each key the device has learnt.
    std::function<void(QDialog& studyDialog, int keyCode)> studiedKey;
    // The machine settings dialog, while one is registered (SetSettingsDialog): refresh from the saved
    // settings after a synchronisation, and its captions after a language switch.
    std::function<void(QDialog& settingsDialog)> refreshSettings;
    std::function<void(QDialog& settingsDialog)> settingsLanguage;
};

// The main window: every DSP parameter of the device on one dialog (template 229), written to the device as
// it is edited and refreshed from the session's store after every synchronisation. It is the owner window
// of the session: it connects at start-up and when a device arrives, synchronises with the progress dialog,
// checks the model and firmware version, polls the levels and says goodbye to the device when closed.
//
// Everything runs on the user-interface thread. The session's notifications reach it through the host's
// CSessionEvents; device arrivals and removals through DeviceSink().
//
// The implementation is spread over CVarnothDlg.cpp (construction, controls, texts and colours),
// CVarnothDlgEdits.cpp (the edit handlers), CVarnothDlgRefresh.cpp (the refresh routines) and
// CVarnothDlgDevice.cpp (connection, synchronisation, timers and device events).
class CVarnothDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateNumber = 229;
    static const DialogTemplate& Template();

    // language: the stored setting; 0 Chinese, anything else English. The first connection attempt comes one
    // timer period after construction.
    CVarnothDlg(CSessionHost& host, int language, MainWindowTiming timing = {}, QWidget* parent = nullptr);
    ~CVarnothDlg() override;

    void SetHooks(MainWindowHooks hooks);

    int Language() const { return m_nLanguage; }
    // Applies the language's table to the window, then RefreshLanguageTexts.
    void ApplyLanguage(int language);

    // The control with this template ID, or nullptr.
    QWidget* Control(int id) const;
    template <class Widget>
    Widget* Control(int id) const {
        return qobject_cast<Widget*>(Control(id));
    }

    // Refresh routines: the store into the controls.
    void RefreshAll();
    void RefreshVolumes();
    void MarkEqPageButton();
    void ShowEqPage(int page);
    void RefreshAutoSub();
    void RefreshSub();
    void RefreshEffect(int effect);
    void MarkModeButton();
    void ShowChannel();
    void RefreshPeq();
    void RefreshCompressor();
    void RefreshLanguageTexts();

    // Device events.
    void SetStatus(int connected);
    // Runs the progress dialog modally unless one runs; it ends on WM_SYNC_DONE or by its own time-out.
    void ShowSyncDialog();
    // Runs the upgrade dialog modally unless one runs.
    void OpenUpgradeDialog();
    // The one-line self-closing notice.
    void ShowNotice(const QString& text, int periodMs);
    // Where a device watcher reports arrivals and removals (any thread).
    CDeviceEvents::Callback DeviceSink();

    // The feature dialogs that register with the window while they are open.
    void SetStudyDialog(QDialog* dialog) { m_pStudyDlg = dialog; }
    void SetSettingsDialog(QDialog* dialog) { m_pOtherDlg = dialog; }
    QDialog* UpgradeDialog() const { return m_pUpgradeDlg; }

    // State, for the commands and for tests.
    CVQ421Dll& Session() { return m_session; }
    int MicView() const { return m_bMicView; }
    int EqPage() const { return m_nEqPage; }
    int RawValues() const { return m_bRawValues; }
    bool IsSyncing() const { return m_bSyncing != 0; }
    bool IsWaitingToConnect() const { return m_connectTimer.isActive(); }
    bool IsFeedingMeters() const { return m_meterFeedTimer.isActive(); }
    bool IsPollingLevels() const { return m_levelPollTimer.isActive(); }
    // The text of the notice window while it shows, else empty.
    QString NoticeText() const;

  signals:
    // A WM_SYNC_DONE has been handled: the controls show the store and the version check has run.
    void synchronised(int wParam);

  public slots:
    void accept() override;
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* MakeControl(const ControlTemplate& control, QWidget* parent);
    void CacheControls();
    void InitControls();
    void SetUpColours();
    void ConnectEdits();
    void FillPresetLists();

    // Edits (CVarnothDlgEdits.cpp).
    void OnSliderScrolled(int id);
    void OnCheckBox(int id, bool on);
    void OnPresetChosen(int id, int index);
    void OnChannelButton(bool micView);
    void OnEqPoint(const EqPoint& point, int controlId);
    void SetText(int id, const QString& text);
    QString EffectText(int sliderId, std::uint8_t value) const;

    // Device events (CVarnothDlgDevice.cpp).
    void OnConnectTimer();
    void Connect(bool fromTimer);
    void OnDeviceChange(bool arrived, const QString& path);
    void OnSyncDone(int wParam);
    void OnKeyStudied(int keyCode);
    void OnUpgradeDone();
    void FeedMeters();
    void PollLevels();
    int VersionCheck() const;
    bool Ask(const char* caption, const char* text);
    void StopLevelTimers();
    void DisconnectWithFarewell();

    CVQ421Dll& m_session;
    CSessionEvents& m_events;
    MainWindowTiming m_timing;
    MainWindowHooks m_hooks;
    CDeviceEvents m_deviceEvents;

    int m_nLanguage = 0;
    int m_bMicView = 1;
    int m_nEqPage = 1;
    int m_bFirstSync = 1;
    int m_bRawValues = 0;
    std::uint8_t m_bSyncing = 0;
    QPointer<CSynDlg> m_pSynDlg;
    QPointer<CInfoDlg> m_pInfoDlg;
    QPointer<QDialog> m_pStudyDlg;
    QPointer<QDialog> m_pOtherDlg;
    QPointer<QDialog> m_pUpgradeDlg;

    std::unordered_map<int, QWidget*> m_controls;
    CEqPanel* m_graphicPanel = nullptr;
    CEqPanel* m_peqPanel = nullptr;
    CCompressPanel* m_compressPanel = nullptr;
    CPeakMeterCtrl* m_meters[2] = {nullptr, nullptr};

    QTimer m_connectTimer;    // timer 1
    QTimer m_meterFeedTimer;  // timer 2
    QTimer m_levelPollTimer;  // timer 3
};

}  // namespace varnoth
