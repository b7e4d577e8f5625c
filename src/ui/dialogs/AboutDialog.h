// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "ui/dialogs/DialogTemplate.h"

class QKeyEvent;

namespace varnoth {

class DeviceSession;

// The about box: the program's version, the device's firmware date, a picture of the amplifier's
// internal signal flow and the program's licence. Ctrl+Shift+F12 shows the device's model name. Modal; its
// texts are Chinese in both languages, but for the licence's line, which the language tables translate.
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateNumber = 100;
    static constexpr int kHardwareVersionId = 1106;
    static constexpr int kMachineNameId = 1107;
    static constexpr int kLicenceId = 1108;
    static constexpr int kIconImage = 209;
    static constexpr int kSignalFlowImage = 230;
    static const DialogTemplate& Template();

    explicit AboutDialog(const DeviceSession& session, QWidget* parent = nullptr);

  protected:
    // Every F12 is taken; with Ctrl and Shift held while a device is connected it shows the model name.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    const DeviceSession& m_session;
};

}  // namespace varnoth
