// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <string>

#include "ui/dialogs/DialogTemplate.h"
#include "ui/dialogs/FeatureTexts.h"

class QKeyEvent;

namespace varnoth {

class DeviceSession;

// The about box: the program's version, the device's firmware date, a picture of the amplifier's
// internal signal flow and the program's licence. Ctrl+Shift+F12 shows the device's model name. Modal; in
// the language of the window that opens it (its parent, a FeatureHost), English without one.
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateNumber = 100;
    static constexpr int kSoftwareVersionId = 1105;
    static constexpr int kHardwareVersionId = 1106;
    static constexpr int kMachineNameId = 1107;
    static constexpr int kLicenceId = 1108;
    static constexpr int kSignalFlowTitleId = 1109;
    static constexpr int kIconImage = 209;
    static constexpr int kSignalFlowImage = 230;
    static const DialogTemplate& Template();

    explicit AboutDialog(const DeviceSession& session, QWidget* parent = nullptr);

  protected:
    // Every F12 is taken; with Ctrl and Shift held while a device is connected it shows the model name.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // A label's prefix in the box's language, then the value.
    QString Formatted(FeatureText prefix, const std::string& value) const;

    const DeviceSession& m_session;
    int m_language = 1;
};

}  // namespace varnoth
