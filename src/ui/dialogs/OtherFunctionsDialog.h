// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "ui/dialogs/DeviceFunctions.h"
#include "ui/dialogs/DialogTemplate.h"

namespace varnoth {

class DeviceSession;
class FeatureHost;

// The rarely used device functions: reset one of the four memory modes or the whole machine, learn a remote
// control, upgrade the firmware. Modal; its buttons give the functions of DeviceFunctions over itself, and
// ask the main window for the upgrade dialog.
class OtherFunctionsDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateNumber = 241;
    static constexpr int kFirstModeId = 1008;  // M1..M4: 1008..1011
    static constexpr int kModeCount = 4;
    static constexpr int kResetMachineId = 1111;
    static constexpr int kRemoteId = 1037;
    static constexpr int kUpgradeId = 1038;
    static const DialogTemplate& Template();

    OtherFunctionsDialog(DeviceSession& session, FeatureHost& host, QWidget* parent = nullptr);

  public slots:
    // Enter does nothing.
    void accept() override {}

  private:
    DeviceFunctions m_functions;
};

}  // namespace varnoth
