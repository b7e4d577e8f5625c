// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's device side: connection at start-up and on arrival, removal, the end of a
// synchronisation with the version check, the session's other notifications, level polling and the status.

#include <QAbstractSlider>
#include <QLabel>
#include <QTimer>

#include <algorithm>
#include <array>

#include "device/Trace.h"
#include "session/DeviceSession.h"
#include "ui/controls/ImageResources.h"
#include "ui/controls/LevelMeter.h"
#include "ui/dialogs/KeyLearningDialog.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/MainWindowTexts.h"
#include "ui/main/OfflineEdits.h"
#include "ui/main/SessionEvents.h"
#include "ui/main/WindowUndo.h"

namespace varnoth {

using namespace mainwin;

namespace {

constexpr int kConnectedPicture = 238;
constexpr int kDisconnectedPicture = 239;

}  // namespace

DeviceEvents::Callback MainWindow::DeviceSink() {
    return m_deviceEvents.Sink();
}

void MainWindow::SetStatus(int connected) {
    const bool silent = connected != 0 && !m_session.IsAnswering();
    if (connected == 0) {
        m_offline->Disconnected();
    }
    SetText(kConnectionText, connected == 0 ? m_offline->StatusText()
                                            : QString::fromUtf8(silent ? NotAnsweringText(m_language)
                                                                       : ConnectionText(true, m_language)));
    Control(kConnectionText)->setToolTip(connected == 0 ? m_offline->StatusTip() : QString());
    Control<QLabel>(kConnectionPicture)
        ->setPixmap(
            QPixmap(ImageResourcePath(connected != 0 && !silent ? kConnectedPicture : kDisconnectedPicture)));
}

bool MainWindow::Ask(const char* caption, const char* text) {
    return Ask(QString::fromUtf8(caption), QString::fromUtf8(text));
}

bool MainWindow::Ask(const QString& caption, const QString& text) {
    return Ask(*this, caption, text);
}

// Once the program is told to end nobody is asked: a question is taken as No.
bool MainWindow::Ask(QWidget& over, const QString& caption, const QString& text) {
    if (m_quitRequested) {
        Trace("quit requested: not asked, taken as No: %s\n", qPrintable(text));
        return false;
    }
    return m_hooks.question(over, caption, text);
}

void MainWindow::StopLevelTimers() {
    m_meterFeedTimer.stop();
    m_levelPollTimer.stop();
}

void MainWindow::DisconnectWithFarewell() {
    // The reader may be handing a notification over to this thread: it must not wait for it now.
    const SessionEvents::Release release(m_events);
    m_session.Disconnect(true);
}

void MainWindow::OnConnectTimer() {
    m_connectTimer.stop();
    Connect(true);
}

void MainWindow::Connect(bool fromTimer) {
    if (m_session.Connect(&m_events) == 0) {
        if (!m_session.IsConnected() && m_session.LastOpenFoundDevice()) {
            ShowOpenFailure();
        }
        return;
    }
    m_shownOpenFailure.clear();
    m_syncUnanswered = false;
    m_syncRepeated = false;
    if (m_session.InUpgradeMode()) {
        if (Ask(kUpgradeCaption.In(m_language), kUpgradeModeQuestion.In(m_language))) {
            if (!fromTimer && m_upgradeDialog) {
                m_hooks.upgradeArrival(*m_upgradeDialog);
            } else {
                OpenUpgradeDialog(this, true);
            }
        }
        return;
    }
    m_firstSync = 1;
    m_offline->Connecting();
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

void MainWindow::ShowOpenFailure() {
    // Each arrival tries again; the same reason is told once.
    const std::string failure = m_session.LastOpenFailure();
    if (failure == m_shownOpenFailure) {
        return;
    }
    m_shownOpenFailure = failure;
    SetText(kConnectionText, QString::fromUtf8(kOpenFailedCaption.In(m_language)));
    Warn(QString::fromUtf8(kOpenFailedCaption.In(m_language)), QString::fromStdString(failure));
}

void MainWindow::OnAnsweringChanged(bool answering) {
    if (!m_session.IsConnected()) {
        return;
    }
    SetStatus(1);
    ShowNotice(QString::fromUtf8((answering ? kAnsweringAgainNotice : kNotAnsweringNotice).In(m_language)),
               3000);
    if (answering && m_syncUnanswered) {
        m_syncUnanswered = false;
        m_session.SynchronizeData(false);
    }
}

void MainWindow::ShowSyncDialog(QWidget* over) {
    if (m_syncDialog) {
        return;
    }
    SyncProgressDialog dialog(over != nullptr ? over : this, m_timing.sync, m_language);
    connect(&dialog, &SyncProgressDialog::GaveUp, this, &MainWindow::ShowNotice);
    m_syncDialog = &dialog;
    m_syncing = 1;
    dialog.exec();
    m_syncing = 0;
    m_syncDialog = nullptr;
    Trace("Main window: the progress window has closed\n");
}

void MainWindow::OpenUpgradeDialog(QWidget* owner) {
    OpenUpgradeDialog(owner, false);
}

void MainWindow::OpenUpgradeDialog(QWidget* owner, bool agreed) {
    if (m_upgradeDialog) {
        return;
    }
    std::unique_ptr<QDialog> dialog = m_hooks.makeUpgradeDialog(owner != nullptr ? *owner : *this);
    if (!dialog) {
        return;
    }
    m_upgradeDialog = dialog.get();
    // The user has agreed to upgrade the amplifier found in upgrade mode: the dialog, once it shows, starts
    // without asking again.
    if (agreed) {
        QTimer::singleShot(0, dialog.get(), [this, shown = dialog.get()] { m_hooks.upgradeArrival(*shown); });
    }
    dialog->exec();
    m_upgradeDialog = nullptr;
}

void MainWindow::OnDeviceChange(bool arrived, const QString& path) {
    if (arrived) {
        Connect(false);
        return;
    }
    bool ours = false;
    {
        const SessionEvents::Release release(m_events);
        ours = m_session.TryDisconnect(path.toStdString());
    }
    if (!ours) {
        return;
    }
    if (m_upgradeDialog) {
        m_hooks.upgradeDeviceGone(*m_upgradeDialog);
    }
    StopLevelTimers();
    SetStatus(0);
}

void MainWindow::OnSyncDone(int direction) {
    m_undo->OnSynchronised();
    if (!m_offline->ShowsPrepared()) {
        RefreshAll();
    }
    if (m_syncDialog) {
        m_syncing = 0;
        m_syncDialog->Finish();
    }
    CheckVersion(direction);
}

void MainWindow::CheckVersion(int direction) {
    // A synchronisation that did not bring the model name back says nothing about the model: read again
    // once the amplifier answers, or once more at once if it answers but lost that reply.
    if (m_session.IsConnected() && m_session.GetDevName().empty()) {
        if (!m_session.IsAnswering()) {
            m_syncUnanswered = true;
            ShowNotice(QString::fromUtf8(kSyncUnansweredNotice.In(m_language)), 3000);
            emit synchronised(direction);
            return;
        }
        if (!m_syncRepeated) {
            m_syncRepeated = true;
            m_session.SynchronizeData(false);
            emit synchronised(direction);
            return;
        }
    }
    // Without a device (a file loaded while none is connected) there is no model or firmware to check.
    const FirmwareCheck version = m_session.IsConnected() ? m_session.CheckFirmware() : FirmwareCheck::Same;
    Trace("Main window: synchronised (%d), version check %d\n", direction, static_cast<int>(version));
    switch (version) {
        case FirmwareCheck::ForeignModel:
            DisconnectWithFarewell();
            SetStatus(0);
            StopLevelTimers();
            Warn(QString::fromUtf8(kErrorCaption.In(m_language)),
                 QString::fromUtf8(kModelMismatch.In(m_language)));
            break;
        case FirmwareCheck::Older:
            if (Ask(kUpgradeCaption.In(m_language), kOlderFirmwareQuestion.In(m_language))) {
                OpenUpgradeDialog(this);
            }
            break;
        case FirmwareCheck::Newer:
            if (m_firstSync != 0) {
                m_firstSync = 0;
                if (!Ask(kErrorCaption.In(m_language), kNewerFirmwareQuestion.In(m_language))) {
                    StopLevelTimers();
                    DisconnectWithFarewell();
                    SetStatus(0);
                }
            }
            break;
        case FirmwareCheck::Same:
            break;
    }
    emit synchronised(direction);
}

void MainWindow::SetStudyDialog(KeyLearningDialog* dialog) {
    m_studyDialog = dialog;
}

void MainWindow::OnKeyStudied(int keyCode) {
    if (m_studyDialog) {
        m_studyDialog->OnKeyStudied(keyCode);
    }
}

// The upgrade dialog shows the completion notice and closes when the image was sent, and says why not
// otherwise.
void MainWindow::OnUpgradeDone() {
    if (m_closeAfterUpgrade) {
        Trace("firmware transfer ended: %s\n", m_session.LastUpgradeResult().message.c_str());
        if (m_upgradeDialog) {
            m_upgradeDialog->done(QDialog::Rejected);
        }
        CloseWhenSafe();
        return;
    }
    if (m_upgradeDialog) {
        m_hooks.upgradeDone(*m_upgradeDialog);
    }
}

void MainWindow::FeedMeters() {
    std::array<std::uint8_t, 4> levels{};
    m_session.Store().GetPeakData(levels.data());
    const std::size_t first = m_micView != 0 ? 0 : 2;
    m_meters[0]->SetData(0, levels[first]);
    m_meters[1]->SetData(0, levels[first + 1]);
}

void MainWindow::PollLevels() {
    if (m_session.IsSynchronised()) {
        m_session.PollDevice(SliderHeld());
    }
}

bool MainWindow::SliderHeld() const {
    const QList<QAbstractSlider*> sliders = findChildren<QAbstractSlider*>();
    return std::any_of(sliders.begin(), sliders.end(),
                       [](const QAbstractSlider* slider) { return slider->isSliderDown(); });
}

}  // namespace varnoth
