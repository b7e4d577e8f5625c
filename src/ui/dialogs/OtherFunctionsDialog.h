// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <functional>

#include "ui/dialogs/DialogTemplate.h"
#include "ui/dialogs/FeatureTexts.h"

namespace varnoth {

class DeviceSession;
class FeatureHost;

// The rarely used device functions: reset one of the four memory modes or the whole machine, learn a remote
// control, upgrade the firmware. Modal; it asks, checks the connection and hands over to the session and
// to the remote-learning and upgrade dialogs. A reset is followed by reading everything back.
class OtherFunctionsDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateNumber = 241;
    static constexpr int kFirstModeId = 1008;  // M1..M4: 1008..1011
    static constexpr int kModeCount = 4;
    static constexpr int kResetMachineId = 1111;
    static constexpr int kRemoteId = 1037;
    static constexpr int kUpgradeId = 1038;
    static constexpr int kNoticeMs = 1200;
    static const DialogTemplate& Template();

    OtherFunctionsDialog(DeviceSession& session, FeatureHost& host, QWidget* parent = nullptr);

  public slots:
    // Enter does nothing.
    void accept() override {}

  private:
    // A message in the user's language.
    QString Text(FeatureText text) const;
    void ResetMode(int mode);
    // Sends a reset on the link thread; once it went out everything is read back under the progress dialog,
    // otherwise the user is told why not (`withoutDevice` when no device is connected). `mode` is the memory
    // mode the reset changes, or kEveryMode.
    static constexpr int kEveryMode = -1;
    void SendAndReadBack(std::function<int()> reset, FeatureText withoutDevice, int mode);
    void ResetMachine();
    void OpenRemote();

    DeviceSession& m_session;
    FeatureHost& m_host;
};

}  // namespace varnoth
