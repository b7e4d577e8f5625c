// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/OtherFunctionsDialog.h"

#include <QPushButton>

#include <array>

#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/DialogTexts.h"
#include "ui/dialogs/FeatureHost.h"

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
    : QDialog(parent), m_functions(session, host) {
    BuildDialog(*this, Template());
    ClearDefaultButtons(*this);
    const auto onClick = [this](int id, auto handler) {
        connect(FindControl<QPushButton>(*this, id), &QPushButton::clicked, this, handler);
    };
    for (int mode = 0; mode < kModeCount; ++mode) {
        onClick(kFirstModeId + mode, [this, mode] { m_functions.ResetMode(mode, *this); });
    }
    onClick(kResetMachineId, [this] { m_functions.ResetMachine(*this); });
    onClick(kRemoteId, [this] { m_functions.LearnRemote(*this); });
    onClick(kUpgradeId, [this, owner = &host] { owner->OpenUpgradeDialog(this); });
    ApplyDialogTexts(*this, kTemplateNumber);
}

}  // namespace varnoth
