// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "ui/dialogs/DialogTemplate.h"
#include "ui/dialogs/MachineSettingsForm.h"

namespace varnoth {

class StepSlider;
class DeviceSession;
class FeatureHost;

// The machine settings dialog: power-on and maximum volumes, front-panel locks and the volume save mode.
// Modeless; it edits the working copy of the session's machine settings and APPLY sends it. It deletes
// itself when closed (hold it in a QPointer); a user's close also has the host re-limit its master volumes.
class MachineSettingsDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateNumber = MachineSettingsForm::kTemplateNumber;
    static const DialogTemplate& Template();

    // Filled from the saved copy; the working copy is not touched.
    MachineSettingsDialog(DeviceSession& session, FeatureHost& host, QWidget* parent = nullptr);

  public slots:
    // The saved copy was replaced by the device's or a file's settings: every control shows it again. The
    // working copy is not touched.
    void ShowSaved();

    // The language was switched: captions of the new language and the two power-on rows redrawn from the
    // saved copy.
    void RefreshLanguage();

    // Enter does nothing; Esc and the close box close the dialog.
    void accept() override;
    void reject() override;

  private:
    // Each row's slider and ON box are named by the row's title, in the language shown.
    void NameControls();
    // The tooltips in the user's language.
    void ShowTooltips();
    void ShowRow(const MachineSettingsForm::SliderRow& row, const MachineSettingsForm::RowView& view);
    void OnSliderScrolled(StepSlider* slider);
    void OnLockOn(bool on);
    void OnApply();

    FeatureHost& m_host;
    MachineSettingsForm m_form;
};

}  // namespace varnoth
