// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/AboutDialog.h"

#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <array>

#include "session/DeviceSession.h"
#include "ui/controls/ImageResources.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/DialogTexts.h"
#include "ui/dialogs/FeatureHost.h"
#include "ui/dialogs/FeatureTexts.h"

namespace varnoth {

namespace {

using Dlg = AboutDialog;

constexpr int kNoId = -1;
constexpr int kIconPixels = 32;

constexpr std::array kControls = {
    ControlTemplate{kNoId, ControlKind::Picture, {14, 14, 20, 20}},
    ControlTemplate{Dlg::kSoftwareVersionId, ControlKind::Label, {117, 14, 75, 8}, "软件版本:2012-02-20"},
    ControlTemplate{Dlg::kHardwareVersionId, ControlKind::Label, {117, 26, 77, 8}, ""},
    ControlTemplate{Dlg::kMachineNameId, ControlKind::Label, {193, 14, 114, 8}, ""},
    ControlTemplate{
        Dlg::kSignalFlowTitleId, ControlKind::Label, {361, 30, 99, 8}, "内部处理流程示意图", kRightAligned},
    ControlTemplate{kNoId, ControlKind::Picture, {0, 41, 464, 234}},
    ControlTemplate{Dlg::kLicenceId,
                    ControlKind::Label,
                    {4, 279, 405, 8},
                    "Varnoth 是自由软件，按 GNU GPL 第 3 版或更新的版本发布，不提供任何担保。"},
    ControlTemplate{1, ControlKind::PushButton, {414, 276, 50, 14}, "确定"},
};
const ControlTemplate& kIconRow = kControls[0];
const ControlTemplate& kSignalFlowRow = kControls[5];
constexpr const char* kSignalFlowName = "signalFlow";

// The two pictures: the program's icon at icon size and the signal flow at its own size.
QWidget* MakePicture(const ControlTemplate& control, QWidget* parent) {
    if (&control == &kIconRow) {
        auto* label = new QLabel(parent);
        label->setPixmap(QIcon(ImageResourcePath(Dlg::kIconImage)).pixmap(kIconPixels, kIconPixels));
        return label;
    }
    if (&control == &kSignalFlowRow) {
        auto* label = new QLabel(parent);
        label->setPixmap(QPixmap::fromImage(LoadImageResource(Dlg::kSignalFlowImage)));
        label->setObjectName(QLatin1String(kSignalFlowName));
        return label;
    }
    return nullptr;
}

}  // namespace

const DialogTemplate& AboutDialog::Template() {
    static const DialogTemplate dialog{kTemplateNumber,      "关于 Varnoth", 465, 291,
                                       StandardDialogFont(), kControls};
    return dialog;
}

AboutDialog::AboutDialog(const DeviceSession& session, QWidget* parent)
    : QDialog(parent), m_session(session) {
    BuildDialog(*this, Template(), MakePicture);
    ApplyDialogTexts(*this, kTemplateNumber);
    SetSolidBackground(*this, Qt::white);
    for (QLabel* picture : findChildren<QLabel*>()) {
        if (!picture->pixmap().isNull()) {
            picture->resize(picture->pixmap().deviceIndependentSize().toSize());
        }
    }
    // The texts the box writes itself, in the language of the window that opened it.
    const auto* host = dynamic_cast<const FeatureHost*>(parent);
    m_language = host != nullptr ? host->Language() : 1;
    findChild<QLabel*>(QLatin1String(kSignalFlowName))
        ->setAccessibleName(QString::fromStdString(FeatureTextOf(FeatureText::SignalFlow, m_language)));
    auto* ok = FindControl<QPushButton>(*this, 1);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    if (m_session.IsConnected()) {
        FindControl<QLabel>(*this, kHardwareVersionId)
            ->setText(Formatted(FeatureText::FirmwareVersion, m_session.GetDevDate()));
    }
}

QString AboutDialog::Formatted(FeatureText prefix, const std::string& value) const {
    return QString::fromStdString(FeatureTextOf(prefix, m_language) + value);
}

void AboutDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_F12) {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    const Qt::KeyboardModifiers held = event->modifiers();
    if (held.testFlag(Qt::ControlModifier) && held.testFlag(Qt::ShiftModifier) && m_session.IsConnected()) {
        FindControl<QLabel>(*this, kMachineNameId)
            ->setText(Formatted(FeatureText::ModelName, m_session.GetDevName()));
    }
}

}  // namespace varnoth
