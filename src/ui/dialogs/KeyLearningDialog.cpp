// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/KeyLearningDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>

#include "session/RemoteCodes.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/DialogTexts.h"
#include "ui/dialogs/FeatureTexts.h"
#include "ui/dialogs/RemoteKeys.h"

namespace varnoth {

namespace {

using Dlg = KeyLearningDialog;

constexpr std::array kControls = {
    ControlTemplate{Dlg::kPromptId, ControlKind::Label, {10, 10, 200, 9}, "您当前学习的按键是:"},
    ControlTemplate{Dlg::kInstructionId,
                    ControlKind::Label,
                    {10, 24, 200, 9},
                    "请您按下遥控器上的对应的按键",
                    kRightAligned},
    ControlTemplate{Dlg::kCodeId, ControlKind::Edit, {80, 40, 60, 14}, "", kReadOnly | kCentred | kDisabled},
    ControlTemplate{Dlg::kClosingId, ControlKind::Label, {10, 63, 130, 9}, ""},
    ControlTemplate{Dlg::kGiveUpId, ControlKind::PushButton, {150, 60, 60, 14}, "放弃学习"},
    ControlTemplate{Dlg::kCloseId, ControlKind::PushButton, {150, 60, 60, 14}, "关闭", kHidden},
};

}  // namespace

const DialogTemplate& KeyLearningDialog::Template() {
    static const DialogTemplate dialog{kTemplateNumber,      "键码学习中...", 220, 82,
                                       StandardDialogFont(), kControls};
    return dialog;
}

KeyLearningDialog::KeyLearningDialog(const QString& prompt, RemoteCodes& remote, int language,
                                     std::chrono::milliseconds closeDelay, QWidget* parent)
    : QDialog(parent), m_remote(remote), m_language(language), m_closeDelay(closeDelay) {
    BuildDialog(*this, Template());
    ClearDefaultButtons(*this);
    SetSolidBackground(*this, QColor(230, 230, 230));
    FindControl<QLabel>(*this, kPromptId)->setText(prompt);
    ApplyDialogTexts(*this, kTemplateNumber);
    FindControl(*this, kCodeId)
        ->setAccessibleName(QString::fromStdString(FeatureTextOf(FeatureText::KeyCodeField, language)));

    m_closeTimer.setSingleShot(true);
    connect(&m_closeTimer, &QTimer::timeout, this, [this] { done(QDialog::Accepted); });
    connect(FindControl<QPushButton>(*this, kGiveUpId), &QPushButton::clicked, this,
            &KeyLearningDialog::reject);
    connect(FindControl<QPushButton>(*this, kCloseId), &QPushButton::clicked, this,
            [this] { done(QDialog::Accepted); });
}

KeyLearningDialog::~KeyLearningDialog() {
    StopStudying();
}

void KeyLearningDialog::OnKeyStudied(int code) {
    m_studying = false;
    FindControl<QLineEdit>(*this, kCodeId)
        ->setText(QString::fromStdString(KeyCodeText(static_cast<std::uint8_t>(code))));
    FindControl(*this, kGiveUpId)->hide();
    FindControl(*this, kCloseId)->show();
    FindControl<QLabel>(*this, kClosingId)
        ->setText(QString::fromStdString(FeatureTextOf(FeatureText::StudyClosing, m_language)));
    m_closeTimer.start(m_closeDelay);
}

void KeyLearningDialog::done(int result) {
    StopStudying();
    QDialog::done(result);
}

void KeyLearningDialog::StopStudying() {
    if (m_studying) {
        m_studying = false;
        m_remote.CancelStudying();
    }
}

}  // namespace varnoth
