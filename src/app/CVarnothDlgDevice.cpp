// The main window's device side: connection at start-up and on arrival, removal, the end of a
// synchronisation with the version check, the session's other notifications, level polling and the status.

#include <QLabel>

#include <array>
#include <thread>

#include "app/CSessionEvents.h"
#include "app/CVarnothDlg.h"
#include "app/MainWindowTemplate.h"
#include "app/MainWindowTexts.h"
#include "controls/CPeakMeterCtrl.h"
#include "controls/ImageResources.h"
#include "device/Trace.h"
#include "features/CRemoteStudyDlg.h"
#include "model/CVQ421Dll.h"

namespace varnoth {

using namespace mainwin;

namespace {

constexpr int kConnectedPicture = 238;
constexpr int kDisconnectedPicture = 239;

}  // namespace

CDeviceEvents::Callback CVarnothDlg::DeviceSink() {
    return m_deviceEvents.Sink();
}

void CVarnothDlg::SetStatus(int connected) {
    SetText(kConnectionText, QString::fromUtf8(ConnectionText(connected != 0, m_nLanguage)));
    Control<QLabel>(kConnectionPicture)
        ->setPixmap(QPixmap(ImageResourcePath(connected != 0 ? kConnectedPicture : kDisconnectedPicture)));
}

bool CVarnothDlg::Ask(const char* caption, const char* text) {
    return Ask(QString::fromUtf8(caption), QString::fromUtf8(text));
}

bool CVarnothDlg::Ask(const QString& caption, const QString& text) {
    return m_hooks.question(*this, caption, text);
}

void CVarnothDlg::StopLevelTimers() {
    m_meterFeedTimer.stop();
    m_levelPollTimer.stop();
}

void CVarnothDlg::DisconnectWithFarewell() {
    // The reader may be handing a notification over to this thread: it must not wait for it now.
    const CSessionEvents::Release release(m_events);
    m_session.Disconnect(true);
}

void CVarnothDlg::OnConnectTimer() {
    m_connectTimer.stop();
    Connect(true);
}

void CVarnothDlg::Connect(bool fromTimer) {
    if (m_session.TryConnDevice(&m_events) == 0) {
        return;
    }
    if (m_session.IsUpStatus() == 1) {
        if (Ask(kUpgradeCaption, kUpgradeModeQuestion)) {
            if (!fromTimer && m_pUpgradeDlg) {
                m_hooks.upgradeArrival(*m_pUpgradeDlg);
            } else {
                OpenUpgradeDialog(this);
            }
        }
        return;
    }
    m_bFirstSync = 1;
    m_session.SynchronizeData(false);
    m_meterFeedTimer.start();
    SetStatus(1);
    ShowSyncDialog(this);
    // A synchronisation that ended in a disconnection (another model, a declined newer firmware, a removal)
    // leaves nothing to poll.
    if (m_session.IsConnected()) {
        m_levelPollTimer.start();
    }
}

void CVarnothDlg::ShowSyncDialog(QWidget* over) {
    if (m_pSynDlg) {
        return;
    }
    CSynDlg dialog(over != nullptr ? over : this, m_timing.sync);
    connect(&dialog, &CSynDlg::GaveUp, this, &CVarnothDlg::ShowNotice);
    m_pSynDlg = &dialog;
    m_bSyncing = 1;
    dialog.exec();
    m_bSyncing = 0;
    m_pSynDlg = nullptr;
}

void CVarnothDlg::OpenUpgradeDialog(QWidget* owner) {
    if (m_pUpgradeDlg) {
        return;
    }
    std::unique_ptr<QDialog> dialog = m_hooks.makeUpgradeDialog(owner != nullptr ? *owner : *this);
    if (!dialog) {
        return;
    }
    m_pUpgradeDlg = dialog.get();
    dialog->exec();
    m_pUpgradeDlg = nullptr;
}

void CVarnothDlg::OnDeviceChange(bool arrived, const QString& path) {
    if (arrived) {
        Connect(false);
        return;
    }
    bool ours = false;
    {
        const CSessionEvents::Release release(m_events);
        ours = m_session.TryDisconnect(path.toStdString());
    }
    if (!ours) {
        return;
    }
    if (m_pUpgradeDlg) {
        m_hooks.upgradeDeviceGone(*m_pUpgradeDlg);
    }
    StopLevelTimers();
    SetStatus(0);
}

void CVarnothDlg::OnSyncDone(int wParam) {
    RefreshAll();
    if (m_pSynDlg) {
        m_bSyncing = 0;
        m_pSynDlg->Finish();
    }
    std::this_thread::sleep_for(m_timing.syncDonePause);
    // Without a device (a file loaded while none is connected) there is no model or firmware to check.
    const int version = m_session.IsConnected() != 0 ? m_session.IsNeedUp() : 0;
    Trace("Main window: synchronised (%d), version check %d\n", wParam, version);
    switch (version) {
        case -2:
            DisconnectWithFarewell();
            SetStatus(0);
            StopLevelTimers();
            m_hooks.warning(*this, QString::fromUtf8(kErrorCaption), QString::fromUtf8(kModelMismatch));
            break;
        case 1:
            if (Ask(kUpgradeCaption, kOlderFirmwareQuestion)) {
                OpenUpgradeDialog(this);
            }
            break;
        case -1:
            if (m_bFirstSync != 0) {
                m_bFirstSync = 0;
                if (!Ask(kErrorCaption, kNewerFirmwareQuestion)) {
                    StopLevelTimers();
                    DisconnectWithFarewell();
                    SetStatus(0);
                }
            }
            break;
        default:
            break;
    }
    emit synchronised(wParam);
}

void CVarnothDlg::SetStudyDialog(CRemoteStudyDlg* dialog) {
    m_pStudyDlg = dialog;
}

void CVarnothDlg::OnKeyStudied(int keyCode) {
    if (m_pStudyDlg) {
        m_pStudyDlg->OnKeyStudied(keyCode);
    }
}

// The upgrade dialog shows the completion notice and closes when the image was sent, and says why not
// otherwise.
void CVarnothDlg::OnUpgradeDone() {
    if (m_pUpgradeDlg) {
        m_hooks.upgradeDone(*m_pUpgradeDlg);
    }
}

void CVarnothDlg::FeedMeters() {
    std::array<std::uint8_t, 4> levels{};
    m_session.GetPeakData(levels.data());
    const std::size_t first = m_bMicView != 0 ? 0 : 2;
    m_meters[0]->SetData(0, levels[first]);
    m_meters[1]->SetData(0, levels[first + 1]);
}

void CVarnothDlg::PollLevels() {
    if (m_session.GetReadPeak() != 0) {
        m_session.ReadInputLevel();
    }
}

}  // namespace varnoth
