// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/UpgradeDialog.h"

#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

#include <array>

#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/DialogTexts.h"
#include "ui/dialogs/FeatureHost.h"
#include "ui/dialogs/FeatureTexts.h"
#include "ui/dialogs/UpgradeSession.h"

namespace varnoth {

namespace {

using Dlg = UpgradeDialog;

constexpr std::array kControls = {
    ControlTemplate{1082, ControlKind::Label, {10, 8, 240, 9}, "请将机器设置成升级状态："},
    ControlTemplate{1106,
                    ControlKind::Label,
                    {18, 21, 232, 9},
                    "1.如果机器电源打开，请先关闭电源，并确保USB线已连接至电脑"},
    ControlTemplate{1107, ControlKind::Label, {18, 33, 232, 9}, "2.先按住ENTER键，同时打开电源开关"},
    ControlTemplate{1004, ControlKind::Label, {18, 45, 232, 9}, "3.此时下面的指示灯为绿色，进入升级模式"},
    ControlTemplate{1149, ControlKind::Label, {10, 62, 84, 9}, "升级设备连接状态:"},
    ControlTemplate{Dlg::kStatusId, ControlKind::Picture, {96, 62, 11, 7}},
    ControlTemplate{1146, ControlKind::Label, {10, 76, 60, 9}, "升级版本:"},
    ControlTemplate{Dlg::kImageDateId, ControlKind::Label, {72, 76, 56, 9}, ""},
    ControlTemplate{Dlg::kDeviceDateTitleId, ControlKind::Label, {132, 76, 60, 9}, "当前机器版本:", kHidden},
    ControlTemplate{Dlg::kDeviceDateId, ControlKind::Label, {194, 76, 56, 9}, "未知版本", kHidden},
    ControlTemplate{1164, ControlKind::Label, {10, 90, 60, 9}, "升级进度:"},
    ControlTemplate{Dlg::kProgressTextId, ControlKind::Label, {72, 90, 30, 9}, "0%"},
    ControlTemplate{Dlg::kProgressId, ControlKind::ProgressBar, {10, 102, 240, 12}},
    ControlTemplate{Dlg::kFromFileId, ControlKind::PushButton, {128, 121, 60, 14}, "从文件升级..."},
    ControlTemplate{Dlg::kManualId, ControlKind::PushButton, {192, 121, 58, 14}, "手动升级"},
};

QString Text(FeatureText text, int language) {
    return QString::fromStdString(FeatureTextOf(text, language));
}

}  // namespace

const DialogTemplate& UpgradeDialog::Template() {
    static const DialogTemplate dialog{kTemplateNumber,      "机器升级", 260, 142,
                                       StandardDialogFont(), kControls};
    return dialog;
}

UpgradeDialog::UpgradeDialog(UpgradeSession& session, FeatureHost& host, QWidget* parent)
    : QDialog(parent), m_session(session), m_host(host), m_flow(session) {
    BuildDialog(*this, Template());
    ClearDefaultButtons(*this);
    m_status = FindControl<QLabel>(*this, kStatusId);
    m_progressText = FindControl<QLabel>(*this, kProgressTextId);
    m_progress = FindControl<QProgressBar>(*this, kProgressId);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    ShowStatus(false);

    FindControl<QLabel>(*this, kImageDateId)->setText(QString::fromStdString(m_session.ImageDate()));
    m_foundInUpgradeMode = m_session.InUpgradeMode();
    if (!m_foundInUpgradeMode) {
        FindControl(*this, kDeviceDateTitleId)->show();
        auto* deviceDate = FindControl<QLabel>(*this, kDeviceDateId);
        const std::string date = m_session.DeviceDate();
        deviceDate->setText(date.empty() ? Text(FeatureText::UnknownVersion, m_host.Language())
                                         : QString::fromStdString(date));
        deviceDate->show();
    }

    m_chooser = [this](QWidget* owner) { return ChooseImageFile(owner, m_host.Language()); };
    connect(FindControl<QPushButton>(*this, kManualId), &QPushButton::clicked, this,
            &UpgradeDialog::StartCarried);
    connect(FindControl<QPushButton>(*this, kFromFileId), &QPushButton::clicked, this,
            &UpgradeDialog::StartFromFile);

    const FeatureDialogTiming timing = m_host.Timing();
    m_firstLook.setSingleShot(true);
    connect(&m_firstLook, &QTimer::timeout, this, &UpgradeDialog::FirstLook);
    m_firstLook.start(timing.upgradeFirstLook);
    m_poll.setInterval(timing.upgradePoll);
    connect(&m_poll, &QTimer::timeout, this, &UpgradeDialog::ShowProgress);
    ApplyDialogTexts(*this, kTemplateNumber);
}

QString UpgradeDialog::ChooseImageFile(QWidget* owner, int language, const QString& folder) {
    return QFileDialog::getOpenFileName(owner, Text(FeatureText::ChooseImageTitle, language), folder,
                                        Text(FeatureText::ImageFilter, language));
}

void UpgradeDialog::SetImageChooser(ImageChooser chooser) {
    m_chooser = std::move(chooser);
}

void UpgradeDialog::OnArrival(bool upgradeMode) {
    ShowStatus(upgradeMode);
    if (upgradeMode) {
        m_offered = true;
        if (m_flow.MayAsk()) {
            StartCarried();
        }
    }
}

void UpgradeDialog::OnRemoval() {
    ShowStatus(false);
}

void UpgradeDialog::OnUpgradeDone() {
    ShowProgress();
    const int language = m_host.Language();
    const UpgradeFlow::Completion completion = m_flow.Done(language);
    if (completion.sent) {
        m_host.ShowNotice(QString::fromStdString(completion.notice.text),
                          completion.notice.PeriodMs(UpgradeFlow::kDoneNoticeMs));
        reject();
        return;
    }
    m_poll.stop();
    FindControl(*this, kManualId)->setEnabled(true);
    FindControl(*this, kFromFileId)->setEnabled(true);
    ShowProblem(QString::fromStdString(completion.notice.text), QString::fromStdString(completion.detail));
}

// An amplifier that arrives in upgrade mode after the dialog opened is the window's to ask about: it passes
// the arrival on once the user agreed (OnArrival).
void UpgradeDialog::FirstLook() {
    if (m_session.InUpgradeMode()) {
        ShowStatus(true);
        if (m_foundInUpgradeMode) {
            OfferUpgrade();
        }
    }
}

// Asked once: an upgrade the user has already agreed to (an arrival) is not offered again.
void UpgradeDialog::OfferUpgrade() {
    if (m_offered || !m_flow.MayAsk()) {
        return;
    }
    m_offered = true;
    const int language = m_host.Language();
    if (m_host.Ask(*this, Text(FeatureText::UpgradeCaption, language),
                   Text(FeatureText::UpgradeQuestion, language))) {
        Started(m_flow.StartCarried(language));
    }
}

void UpgradeDialog::StartCarried() {
    Started(m_flow.StartCarried(m_host.Language()));
}

void UpgradeDialog::StartFromFile() {
    const int language = m_host.Language();
    if (const UpgradeFlow::Start check = m_flow.Check(language); !check.started) {
        Started(check);
        return;
    }
    const QString path = m_chooser ? m_chooser(this) : QString();
    if (path.isEmpty()) {
        return;
    }
    Started(m_flow.StartFile(path.toStdString(), language));
}

void UpgradeDialog::reject() {
    // Closing would hide the outcome of a transfer that cannot be stopped safely half-way.
    if (!m_flow.MayClose()) {
        ShowProblem(Text(FeatureText::UpgradeDoNotClose, m_host.Language()), {});
        return;
    }
    QDialog::reject();
}

void UpgradeDialog::Started(const UpgradeFlow::Start& start) {
    if (!start.problem.empty() || start.explain) {
        ShowProblem(QString::fromStdString(start.notice.text), QString::fromStdString(start.problem));
        return;
    }
    if (!start.started) {
        m_host.ShowNotice(QString::fromStdString(start.notice.text),
                          start.notice.PeriodMs(UpgradeFlow::kNoticeMs));
        return;
    }
    FindControl(*this, kManualId)->setEnabled(false);
    FindControl(*this, kFromFileId)->setEnabled(false);
    m_poll.start();
}

void UpgradeDialog::ShowStatus(bool green) {
    ShowPicture(*m_status, green ? kGreenImage : kRedImage);
    m_status->setAccessibleName(Text(
        green ? FeatureText::StatusInUpgradeMode : FeatureText::StatusNotInUpgradeMode, m_host.Language()));
}

void UpgradeDialog::ShowProgress() {
    const int percent = m_session.Progress();
    m_progressText->setText(QString::fromStdString(UpgradeFlow::ProgressText(percent)));
    m_progress->setValue(percent);
}

void UpgradeDialog::ShowProblem(const QString& heading, const QString& detail) {
    QMessageBox::warning(this, Text(FeatureText::UpgradeCaption, m_host.Language()),
                         detail.isEmpty() ? heading : heading + "\n" + detail);
}

}  // namespace varnoth
