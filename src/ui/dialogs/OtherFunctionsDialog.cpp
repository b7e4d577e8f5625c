// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/OtherFunctionsDialog.h"

#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "session/DeviceSession.h"
#include "ui/dialogs/DeviceCommandGate.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/DialogTexts.h"
#include "ui/dialogs/FeatureHost.h"
#include "ui/dialogs/FeatureTexts.h"
#include "ui/dialogs/RemoteLearningDialog.h"

namespace varnoth {

namespace {

using Dlg = OtherFunctionsDialog;

constexpr std::array kControls = {
    ControlTemplate{1157, ControlKind::GroupBox, {7, 7, 180, 36}, "Reset Mode"},
    ControlTemplate{Dlg::kFirstModeId, ControlKind::PushButton, {15, 20, 36, 15}, "M1"},
    ControlTemplate{Dlg::kFirstModeId + 1, ControlKind::PushButton, {58, 20, 36, 15}, "M2"},
    ControlTemplate{Dlg::kFirstModeId + 2, ControlKind::PushButton, {101, 20, 36, 15}, "M3"},
    ControlTemplate{Dlg::kFirstModeId + 3, ControlKind::PushButton, {144, 20, 36, 15}, "M4"},
    ControlTemplate{1158, ControlKind::GroupBox, {7, 48, 180, 36}, "Other Function"},
    ControlTemplate{Dlg::kResetMachineId, ControlKind::PushButton, {13, 61, 56, 15}, "Reset Machine"},
    ControlTemplate{Dlg::kRemoteId, ControlKind::PushButton, {71, 61, 52, 15}, "Remote"},
    ControlTemplate{Dlg::kUpgradeId, ControlKind::PushButton, {127, 61, 52, 15}, "Upgrade"},
};

}  // namespace

const DialogTemplate& OtherFunctionsDialog::Template() {
    static const DialogTemplate dialog{
        kTemplateNumber, "Reset/Upgrade/Remoter", 194, 91, StandardDialogFont(), kControls};
    return dialog;
}

OtherFunctionsDialog::OtherFunctionsDialog(DeviceSession& session, FeatureHost& host, QWidget* parent)
    : QDialog(parent), m_session(session), m_host(host) {
    BuildDialog(*this, Template());
    ClearDefaultButtons(*this);
    for (int mode = 0; mode < kModeCount; ++mode) {
        connect(FindControl<QPushButton>(*this, kFirstModeId + mode), &QPushButton::clicked, this,
                [this, mode] { ResetMode(mode); });
    }
    connect(FindControl<QPushButton>(*this, kResetMachineId), &QPushButton::clicked, this,
            &OtherFunctionsDialog::ResetMachine);
    connect(FindControl<QPushButton>(*this, kRemoteId), &QPushButton::clicked, this,
            &OtherFunctionsDialog::OpenRemote);
    connect(FindControl<QPushButton>(*this, kUpgradeId), &QPushButton::clicked, this,
            [this] { m_host.OpenUpgradeDialog(this); });
    ApplyDialogTexts(*this, kTemplateNumber);
}

QString OtherFunctionsDialog::Text(FeatureText text) const {
    return QString::fromStdString(FeatureTextOf(text, m_host.Language()));
}

// Nothing is sent to an amplifier that waits for firmware; without one the buttons do nothing, as the main
// window's memory-mode buttons.
void OtherFunctionsDialog::ResetMode(int mode) {
    if (m_session.IsConnected() == 0) {
        return;
    }
    DeviceSession& session = m_session;
    const int clamped = std::clamp(mode, 0, kModeCount - 1);
    SendAndReadBack([&session, clamped] { return session.ResetMode(clamped, 0); }, FeatureText::NotConnected,
                    clamped);
}

// The machine's settings, parameters and records all change: the panel reads them back, with the progress
// dialog, and shows what the amplifier now holds.
void OtherFunctionsDialog::ResetMachine() {
    const QMessageBox::StandardButton answer =
        QMessageBox::question(this, Text(FeatureText::ResetMachineCaption),
                              Text(FeatureText::ResetMachineQuestion), QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        return;
    }
    DeviceSession& session = m_session;
    SendAndReadBack([&session] { return session.ResetMachine(); }, FeatureText::ConnectFirst, kEveryMode);
}

void OtherFunctionsDialog::SendAndReadBack(std::function<int()> reset, FeatureText withoutDevice, int mode) {
    DeviceSession& session = m_session;
    const int language = m_host.Language();
    SendThenTell(
        session, *this,
        [&session, reset = std::move(reset), withoutDevice, language]() -> FeatureNotice {
            std::optional<FeatureText> refusal = DeviceCommandGate::Obstacle(session);
            if (refusal == FeatureText::NotConnected) {
                refusal = withoutDevice;
            } else if (!refusal && reset() == 0) {
                refusal = FeatureText::NotReceived;
            }
            return refusal ? FeatureNoticeOf(*refusal, language) : FeatureNotice{};
        },
        [this, mode](const FeatureNotice& refused) {
            if (!refused.text.empty()) {
                m_host.ShowNotice(QString::fromStdString(refused.text), refused.PeriodMs(kNoticeMs));
                return;
            }
            m_host.ModesReset(mode);
            m_session.SynchronizeData(false);
            m_host.ShowSyncDialog(this);
        });
}

void OtherFunctionsDialog::OpenRemote() {
    RemoteLearningDialog remote(m_session, m_host);
    remote.exec();
}

}  // namespace varnoth
