// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/MachineSettingsDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <array>

#include "ui/controls/StepSlider.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/DialogTexts.h"
#include "ui/dialogs/FeatureHost.h"

namespace varnoth {

namespace {

using Form = MachineSettingsForm;

constexpr int kRowTop = 20;
constexpr int kRowPitch = 16;

constexpr int RowY(int row) {
    return kRowTop + row * kRowPitch;
}

constexpr std::array kControls = {
    ControlTemplate{Form::kMachineGroupId, ControlKind::GroupBox, {7, 7, 286, 113}, "Machine Settings"},
    ControlTemplate{1090, ControlKind::Label, {14, RowY(0) + 3, 64, 8}, "POWER MIC VOL"},
    ControlTemplate{2018, ControlKind::Trackbar, {80, RowY(0), 150, 15}},
    ControlTemplate{2000, ControlKind::Label, {234, RowY(0) + 3, 20, 8}, "0"},
    ControlTemplate{1098, ControlKind::CheckBox, {258, RowY(0) + 2, 30, 10}, "ON"},
    ControlTemplate{1091, ControlKind::Label, {14, RowY(1) + 3, 64, 8}, "POWER MUSIC VOL"},
    ControlTemplate{2019, ControlKind::Trackbar, {80, RowY(1), 150, 15}},
    ControlTemplate{2001, ControlKind::Label, {234, RowY(1) + 3, 20, 8}, "0"},
    ControlTemplate{1099, ControlKind::CheckBox, {258, RowY(1) + 2, 30, 10}, "ON"},
    ControlTemplate{1092, ControlKind::Label, {14, RowY(2) + 3, 64, 8}, "MAX MIC VOL"},
    ControlTemplate{2020, ControlKind::Trackbar, {80, RowY(2), 150, 15}},
    ControlTemplate{2002, ControlKind::Label, {234, RowY(2) + 3, 20, 8}, "0"},
    ControlTemplate{1093, ControlKind::Label, {14, RowY(3) + 3, 64, 8}, "MAX MUSIC VOL"},
    ControlTemplate{2021, ControlKind::Trackbar, {80, RowY(3), 150, 15}},
    ControlTemplate{2003, ControlKind::Label, {234, RowY(3) + 3, 20, 8}, "0"},
    ControlTemplate{1094, ControlKind::Label, {14, RowY(4) + 3, 64, 8}, "MAX CENTER VOL"},
    ControlTemplate{2022, ControlKind::Trackbar, {80, RowY(4), 150, 15}},
    ControlTemplate{2004, ControlKind::Label, {234, RowY(4) + 3, 20, 8}, "0"},
    ControlTemplate{1095, ControlKind::Label, {14, RowY(5) + 3, 64, 8}, "MAX SUB VOL"},
    ControlTemplate{2023, ControlKind::Trackbar, {80, RowY(5), 150, 15}},
    ControlTemplate{2005, ControlKind::Label, {234, RowY(5) + 3, 20, 8}, "0"},
    ControlTemplate{Form::kVolModeGroupId, ControlKind::GroupBox, {7, 125, 120, 46}, "Vol save mode"},
    ControlTemplate{Form::kVolByModeId, ControlKind::RadioButton, {14, 138, 108, 10}, "VOL BY MODE"},
    ControlTemplate{Form::kVolByRandomId, ControlKind::RadioButton, {14, 153, 108, 10}, "VOL BY MODE"},
    ControlTemplate{Form::kLockOnId, ControlKind::CheckBox, {134, 125, 80, 10}, "LOCK ON"},
    ControlTemplate{1084, ControlKind::CheckBox, {134, 139, 78, 10}, "MIC VOL"},
    ControlTemplate{1085, ControlKind::CheckBox, {214, 139, 78, 10}, "MUSIC VOL"},
    ControlTemplate{1086, ControlKind::CheckBox, {134, 151, 78, 10}, "MIC MENU"},
    ControlTemplate{1087, ControlKind::CheckBox, {214, 151, 78, 10}, "MUSIC MENU"},
    ControlTemplate{1088, ControlKind::CheckBox, {134, 163, 78, 10}, "LOAD MODE"},
    ControlTemplate{1089, ControlKind::CheckBox, {214, 163, 78, 10}, "SAVE MODE"},
    ControlTemplate{Form::kApplyId, ControlKind::PushButton, {233, 180, 60, 14}, "APPLY"},
};

QWidget* MakeStepSlider(const ControlTemplate& control, QWidget* parent) {
    if (control.kind != ControlKind::Trackbar) {
        return nullptr;
    }
    auto* slider = new StepSlider(Qt::Horizontal, parent);
    slider->setRange(0, Form::kSliderMax);
    slider->setTickInterval(Form::kTickInterval);
    slider->setTickPosition(QSlider::TicksBelow);
    return slider;
}

}  // namespace

const DialogTemplate& MachineSettingsDialog::Template() {
    static const DialogTemplate dialog{kTemplateNumber,      "Settings", 300, 200,
                                       StandardDialogFont(), kControls};
    return dialog;
}

MachineSettingsDialog::MachineSettingsDialog(DeviceSession& session, FeatureHost& host, QWidget* parent)
    : QDialog(parent), m_host(host), m_form(session) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildDialog(*this, Template(), MakeStepSlider);
    ClearDefaultButtons(*this);
    ShowTooltips();

    for (const Form::SliderRow& row : Form::SliderRows()) {
        auto* slider = FindControl<StepSlider>(*this, row.sliderId);
        connect(slider, &StepSlider::scrolled, this, [this](StepSlider* s) { OnSliderScrolled(s); });
        if (row.onBoxId != 0) {
            connect(FindControl<QCheckBox>(*this, row.onBoxId), &QCheckBox::clicked, this,
                    [this, &row](bool on) { ShowRow(row, m_form.OnBoxToggled(row, on, m_host.Language())); });
        }
    }
    connect(FindControl<QCheckBox>(*this, Form::kLockOnId), &QCheckBox::clicked, this,
            &MachineSettingsDialog::OnLockOn);
    for (const Form::LockBox& lock : Form::LockBoxes()) {
        connect(FindControl<QCheckBox>(*this, lock.id), &QCheckBox::clicked, this,
                [this, &lock](bool locked) { m_form.LockBoxToggled(lock, locked); });
    }
    auto* byMode = FindControl<QRadioButton>(*this, Form::kVolByModeId);
    auto* byRandom = FindControl<QRadioButton>(*this, Form::kVolByRandomId);
    connect(byMode, &QRadioButton::clicked, this, [this] { m_form.VolModeChosen(true); });
    connect(byRandom, &QRadioButton::clicked, this, [this] { m_form.VolModeChosen(false); });
    connect(FindControl<QPushButton>(*this, Form::kApplyId), &QPushButton::clicked, this,
            &MachineSettingsDialog::OnApply);

    ShowSaved();
    ApplyDialogTexts(*this, kTemplateNumber);
    NameControls();
}

void MachineSettingsDialog::NameControls() {
    for (const Form::SliderRow& row : Form::SliderRows()) {
        auto* title = FindControl<QLabel>(*this, row.titleId);
        QWidget* slider = FindControl(*this, row.sliderId);
        title->setBuddy(slider);
        slider->setAccessibleName(title->text());
        if (row.onBoxId != 0) {
            auto* box = FindControl<QCheckBox>(*this, row.onBoxId);
            box->setAccessibleName(title->text() + QLatin1Char(' ') + box->text());
        }
    }
}

void MachineSettingsDialog::ShowSaved() {
    const int language = m_host.Language();
    for (const Form::SliderRow& row : Form::SliderRows()) {
        ShowRow(row, m_form.SavedRow(row, language));
    }
    const bool lockOn = m_form.SavedLockOn();
    FindControl<QCheckBox>(*this, Form::kLockOnId)->setChecked(lockOn);
    for (const Form::LockBox& lock : Form::LockBoxes()) {
        auto* box = FindControl<QCheckBox>(*this, lock.id);
        box->setChecked(m_form.SavedLock(lock));
        box->setEnabled(lockOn);
    }
    const bool byMode = m_form.SavedVolByMode();
    FindControl<QRadioButton>(*this, Form::kVolByModeId)->setChecked(byMode);
    FindControl<QRadioButton>(*this, Form::kVolByRandomId)->setChecked(!byMode);
}

void MachineSettingsDialog::RefreshLanguage() {
    // A table without a title keeps the template's, as when the dialog opens in that language.
    setWindowTitle(QString::fromUtf8(Template().title));
    ApplyDialogTexts(*this, kTemplateNumber);
    NameControls();
    ShowTooltips();
    const int language = m_host.Language();
    for (const Form::SliderRow& row : Form::SliderRows()) {
        if (row.onBoxId != 0) {
            Form::RowView view = m_form.SavedRow(row, language);
            view.position.reset();
            ShowRow(row, view);
        }
    }
}

void MachineSettingsDialog::ShowTooltips() {
    for (const Form::Tooltip& tip : Form::Tooltips()) {
        FindControl(*this, tip.id)->setToolTip(QString::fromUtf8(tip.text.In(m_host.Language())));
    }
}

void MachineSettingsDialog::accept() {}

void MachineSettingsDialog::reject() {
    m_host.ReLimitMasterVolumes();
    QDialog::reject();
}

void MachineSettingsDialog::ShowRow(const Form::SliderRow& row, const Form::RowView& view) {
    auto* slider = FindControl<StepSlider>(*this, row.sliderId);
    slider->setEnabled(view.on);
    if (view.position) {
        slider->setValue(*view.position);
    }
    FindControl<QLabel>(*this, row.valueId)->setText(QString::fromStdString(view.valueText));
    if (row.onBoxId != 0) {
        FindControl<QCheckBox>(*this, row.onBoxId)->setChecked(view.on);
    }
}

void MachineSettingsDialog::OnSliderScrolled(StepSlider* slider) {
    const int id = ControlIdOf(*slider);
    for (const Form::SliderRow& row : Form::SliderRows()) {
        if (row.sliderId == id) {
            ShowRow(row, m_form.SliderMoved(row, slider->value(), m_host.Language()));
            return;
        }
    }
}

void MachineSettingsDialog::OnLockOn(bool on) {
    m_form.LockOnToggled(on);
    for (const Form::LockBox& lock : Form::LockBoxes()) {
        FindControl(*this, lock.id)->setEnabled(on);
    }
}

// The notice and the new limits follow once the settings went out, or did not.
void MachineSettingsDialog::OnApply() {
    SendThenTell(
        m_form.Session(), *this,
        [form = m_form, language = m_host.Language()]() mutable { return form.Apply(language); },
        [this](const FeatureNotice& notice) {
            m_host.ShowNotice(QString::fromStdString(notice.text), notice.PeriodMs(Form::kNoticeMs));
            m_host.ReLimitMasterVolumes();
        });
}

}  // namespace varnoth
