// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/SyncProgressDialog.h"

#include <QLabel>
#include <QPalette>
#include <QPointer>
#include <QProgressBar>

#include <array>

#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/FeatureTexts.h"

namespace varnoth {

namespace {

constexpr int kBarStep = 10;

constexpr std::array kControls = {
    ControlTemplate{SyncProgressDialog::kLabelId,
                    ControlKind::Label,
                    {7, 8, 248, 9},
                    "当前正在与机器同步数据,请稍后......"},
    ControlTemplate{SyncProgressDialog::kProgressId, ControlKind::ProgressBar, {7, 22, 248, 14}},
};

}  // namespace

const DialogTemplate& SyncProgressDialog::Template() {
    static const DialogTemplate dialog{kTemplateNumber, "同步过程", 262, 46, StandardDialogFont(), kControls};
    return dialog;
}

SyncProgressDialog::SyncProgressDialog(QWidget* parent, SyncDialogTiming timing, int language)
    : QDialog(parent), m_timing(timing), m_language(language) {
    BuildDialog(*this, Template());
    setWindowTitle(QString::fromStdString(FeatureTextOf(FeatureText::SyncTitle, language)));
    FindControl<QLabel>(*this, kLabelId)
        ->setText(QString::fromStdString(FeatureTextOf(FeatureText::SyncRunning, language)));
    setCursor(Qt::WaitCursor);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(230, 230, 230));
    setPalette(background);
    setAutoFillBackground(true);

    m_bar = FindControl<QProgressBar>(*this, kProgressId);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);

    connect(&m_stepTimer, &QTimer::timeout, this, &SyncProgressDialog::Step);
    connect(&m_giveUpTimer, &QTimer::timeout, this, &SyncProgressDialog::GiveUp);
    m_giveUpTimer.setSingleShot(true);
    m_giveUpTimer.start(m_timing.giveUp);
    m_stepTimer.start(m_timing.step);
}

void SyncProgressDialog::Finish() {
    m_giveUpTimer.stop();
    m_stepTimer.stop();
    done(QDialog::Rejected);
}

void SyncProgressDialog::accept() {}

void SyncProgressDialog::reject() {}

void SyncProgressDialog::Step() {
    // Past the end the bar starts again from empty.
    const int next = m_bar->value() + kBarStep;
    m_bar->setValue(next > m_bar->maximum() ? m_bar->minimum() : next);
}

void SyncProgressDialog::GiveUp() {
    const QPointer<SyncProgressDialog> self(this);
    const FeatureNotice notice = FeatureNoticeOf(FeatureText::SyncGaveUp, m_language);
    const int periodMs = notice.PeriodMs(m_timing.noticeMs);
    Finish();
    if (self) {
        emit GaveUp(QString::fromStdString(notice.text), periodMs);
    }
}

}  // namespace varnoth
