#include "ui/dialogs/OtherFunctionsDialog.h"

#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <array>

#include "session/DeviceSession.h"
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

std::string Text(FeatureText text) {
    // The dialog's messages are Chinese in both languages.
    return FeatureTextOf(text, 0);
}

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

void OtherFunctionsDialog::ResetMode(int mode) {
    if (m_session.IsConnected() == 0) {
        return;
    }
    m_session.ResetMode(std::clamp(mode, 0, kModeCount - 1), 1);
    m_host.ShowSyncDialog(this);
}

void OtherFunctionsDialog::ResetMachine() {
    const QMessageBox::StandardButton answer = QMessageBox::question(
        this, QString::fromStdString(Text(FeatureText::ResetMachineCaption)),
        QString::fromStdString(Text(FeatureText::ResetMachineQuestion)), QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        return;
    }
    if (m_session.IsConnected() == 0) {
        m_host.ShowNotice(QString::fromStdString(Text(FeatureText::ConnectFirst)), kNoticeMs);
        return;
    }
    m_session.ResetMachine();
}

void OtherFunctionsDialog::OpenRemote() {
    RemoteLearningDialog remote(m_session, m_host);
    remote.exec();
}

}  // namespace varnoth
